#include "testing/fake_browser.h"

#include <stdexcept>

namespace brivano::testing {

void FakeBrowser::Show(std::optional<Document> document, bool ofLastRequest) {
  shown_ = std::move(document);
  lastRequestShown_ = ofLastRequest;
}

void FakeBrowser::Navigate(const std::string& address) {
  requests_.push_back(address);
  requestTimes_.push_back(clock_.Now());
  if (throwOnNavigate) throw std::runtime_error("navigate failed");
  std::optional<Document> page;
  const int request = static_cast<int>(requests_.size());
  if (failEverything || failAt.count(request) != 0) {
    page = Document{address, {}, {}, true};
  } else if (wallAt.count(request) != 0) {
    page = Document{wallAddress, wallText, {}, false};
  } else if (auto it = pages_.find(address); it != pages_.end()) {
    page = it->second;
  } else if (fallback_) {
    page = Document{address, *fallback_, fallbackMarkup_, false};
  }
  const int navigation = ++navigation_;
  lastRequestShown_ = false;
  if (loadDelayMs == 0) {
    Show(std::move(page), true);
  } else if (loadDelayMs > 0) {
    clock_.CallLater(loadDelayMs, [this, navigation, page = std::move(page)] {
      if (navigation == navigation_) Show(page, true);
    });
  }
}

void FakeBrowser::ShowPage(const std::string& address, std::string utf8Body) {
  ++navigation_;
  Show(Document{address, std::move(utf8Body), {}, false}, true);
}

void FakeBrowser::ReadDocument(const DocumentQuery& query, DocumentCallback answer) {
  ++reads_;
  lastQuery = query;
  if (neverAnswer) return;
  PageDocument document;
  if (!lastRequestShown_) {
    document.state = PageDocument::State::NotYet;
  } else if (shown_ && shown_->failed) {
    document.state = PageDocument::State::Failed;
    document.failure = failure;
  } else if (shown_) {
    const FakeMarkup& markup = shown_->markup;
    document = {PageDocument::State::Shown,
                shown_->address,
                shown_->text,
                markup.title,
                markup.nextPageLink,
                markup.verifyMarkup,
                markup.resultBlocks,
                {},
                query.markup ? markup.html : std::string()};
  }
  if (answerDelayMs < 0) {
    answer(std::move(document));
    return;
  }
  clock_.CallLater(answerDelayMs, [answer = std::move(answer), document] { answer(document); });
}

}  // namespace brivano::testing
