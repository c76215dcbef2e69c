// A browser that serves page texts per address, answering reads at once, after
// a delay, or never.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "search/run_interfaces.h"
#include "support/virtual_clock.h"

namespace brivano::testing {

class FakeBrowser : public PageBrowser {
 public:
  explicit FakeBrowser(VirtualClock& clock) : clock_(clock) {}

  // UTF-8 body text served for an address; addresses without a page leave the
  // browser without a document.
  void Serve(const std::string& address, std::string utf8Body) {
    pages_[address] = std::move(utf8Body);
  }
  // Serves `body` for every address not served explicitly.
  void ServeAnyAddress(std::string utf8Body) { fallback_ = std::move(utf8Body); }

  void Navigate(const std::string& address) override;
  void ReadBodyText(BodyTextCallback answer) override;

  // Drops the document, as a browser still busy with its first page.
  void ForgetDocument() { document_.reset(); }

  const std::vector<std::string>& Requests() const { return requests_; }
  std::vector<long long> RequestTimes() const { return requestTimes_; }
  int Reads() const { return reads_; }

  // -1: answer inside the call; otherwise after this many milliseconds.
  long long answerDelayMs = -1;
  bool neverAnswer = false;
  bool throwOnNavigate = false;

 private:
  VirtualClock& clock_;
  std::map<std::string, std::string> pages_;
  std::optional<std::string> fallback_;
  std::optional<std::string> document_;
  std::vector<std::string> requests_;
  std::vector<long long> requestTimes_;
  int reads_ = 0;
};

}  // namespace brivano::testing
