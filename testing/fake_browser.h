// A browser that serves page texts per address, loads them at once or after
// a delay, answers reads at once, after a delay, or never, can put a
// verification wall in front of chosen requests, and lets a test load a page
// as the user would.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "search/run_interfaces.h"
#include "testing/virtual_clock.h"

namespace brivano::testing {

// What a served page's markup shows besides its text.
struct FakeMarkup {
  std::string title{};
  bool nextPageLink = false;
  bool verifyMarkup = false;
  int resultBlocks = -1;
  std::string html{};  // the markup, handed over when the read asks for it
};

class FakeBrowser : public PageBrowser {
 public:
  explicit FakeBrowser(VirtualClock& clock) : clock_(clock) {}

  // UTF-8 body text served for an address; addresses without a page leave the
  // browser without a document.
  void Serve(const std::string& address, std::string utf8Body, FakeMarkup markup = {}) {
    pages_[address] = {address, std::move(utf8Body), std::move(markup)};
  }
  // Serves `body` for every address not served explicitly.
  void ServeAnyAddress(std::string utf8Body, FakeMarkup markup = {}) {
    fallback_ = std::move(utf8Body);
    fallbackMarkup_ = std::move(markup);
  }

  void Navigate(const std::string& address) override;
  void ReadDocument(const DocumentQuery& query, DocumentCallback answer) override;

  // Drops the document, as a browser still busy with its first page.
  void ForgetDocument() { shown_.reset(); }
  // The user loads a page in the pane: it shows at once.
  void ShowPage(const std::string& address, std::string utf8Body);

  const std::vector<std::string>& Requests() const { return requests_; }
  std::vector<long long> RequestTimes() const { return requestTimes_; }
  int Reads() const { return reads_; }

  // -1: answer inside the call; otherwise after this many milliseconds.
  long long answerDelayMs = -1;
  bool neverAnswer = false;
  bool throwOnNavigate = false;
  // A requested page replaces the earlier one this long after the request;
  // negative: never.
  long long loadDelayMs = 0;
  // Requests (1-based, counted over the browser's life) that the engine
  // answers with its verification page instead.
  std::set<int> wallAt;
  std::string wallAddress = "https://wappass.baidu.com/static/captcha/tuxing.html";
  std::string wallText = "百度安全验证\n请完成下方验证后继续操作";
  // Requests (1-based) that do not load, or every request, as when the
  // engine cannot be reached.
  std::set<int> failAt;
  bool failEverything = false;
  std::string failure = "连接被拒绝";
  // The query of the last read.
  DocumentQuery lastQuery;

 private:
  struct Document {
    std::string address;
    std::string text;
    FakeMarkup markup;
    bool failed = false;
  };
  void Show(std::optional<Document> document, bool ofLastRequest);

  VirtualClock& clock_;
  std::map<std::string, Document> pages_;
  std::optional<std::string> fallback_;
  FakeMarkup fallbackMarkup_;
  std::optional<Document> shown_;
  bool lastRequestShown_ = true;
  int navigation_ = 0;
  std::vector<std::string> requests_;
  std::vector<long long> requestTimes_;
  int reads_ = 0;
};

}  // namespace brivano::testing
