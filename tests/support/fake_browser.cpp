#include "support/fake_browser.h"

#include <stdexcept>

namespace brivano::testing {

void FakeBrowser::Navigate(const std::string& address) {
  requests_.push_back(address);
  requestTimes_.push_back(clock_.Now());
  if (throwOnNavigate) throw std::runtime_error("navigate failed");
  if (auto it = pages_.find(address); it != pages_.end()) {
    document_ = it->second;
  } else {
    document_ = fallback_;
  }
}

void FakeBrowser::ReadBodyText(BodyTextCallback answer) {
  ++reads_;
  if (neverAnswer) return;
  if (answerDelayMs < 0) {
    answer(document_);
    return;
  }
  clock_.CallLater(answerDelayMs, [answer = std::move(answer), text = document_] { answer(text); });
}

}  // namespace brivano::testing
