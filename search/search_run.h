// A search run: start, page cycle, stall watchdog, stop and end. All run
// state lives here for the life of the program; the window only shows it and
// forwards the user's commands and the timers' ticks.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/buyer_list.h"
#include "search/engine_table.h"
#include "search/harvest_recorder.h"
#include "search/local_address.h"
#include "search/query_encoding.h"
#include "search/run_interfaces.h"
#include "search/run_summary.h"

namespace brivano {

struct RunEnvironment {
  RunWindow& window;
  PageBrowser& browser;
  TimerFactory& timers;
  EngineTable engines = DefaultEngineTable();
  NetworkLookups network;
  // Takes each page's values with their provenance; none when null.
  HarvestRecorder* recorder = nullptr;
  // A whole number from 0 to `most` for the wait between keywords; a
  // uniformly random one when empty.
  std::function<int(int most)> randomSeconds;
  // A read of the page text that has not answered after this long counts as
  // "no document".
  int readTimeoutMs = 20000;
  int cleanerDelayMs = 500;
  // A requested page that has not replaced the earlier one is looked for
  // again this often, for at most the watchdog's period; a verification
  // pause looks at the browser this often.
  int latePollMs = 500;
  int pausePollMs = 1000;
  // A page that did not load is asked again after this long, then twice as
  // long; with the network down the waits go on doubling up to the longest.
  int failRetryMs = 5000;
  int longestNetworkWaitMs = 5 * 60 * 1000;
};

class SearchRun : public BuyerSink {
 public:
  static constexpr int kWatchdogIntervalMs = 60000;
  static constexpr int kAutoSaveSeconds = 600;
  static constexpr std::size_t kPageLineBytes = 4096;
  // Requests of a page before its keyword is given up.
  static constexpr int kPageTries = 3;
  // Keywords given up in a row that mean the network, not the keywords, failed.
  static constexpr int kFailedKeywordsForNetworkDown = 3;

  explicit SearchRun(RunEnvironment environment);
  ~SearchRun() override;
  SearchRun(const SearchRun&) = delete;
  SearchRun& operator=(const SearchRun&) = delete;

  // Commands and handlers, named after the controls that carry them.
  void Start();  // 搜索
  void Stop();   // 终止
  void PrepareKeyword();
  void RequestPage();  // the page request
  void OnPageTimer();  // page timer tick
  void ProcessPage();  // the page step
  void OnWatchdog();   // stall watchdog
  void EndRun();       // end of run
  void AddBuyerItem(std::string_view value, ContactKind kind) override;

  // Run state.
  std::int32_t StartLine() const { return startLine_; }
  void SetStartLine(std::int32_t line) { startLine_ = line; }
  // The first keyword line a later run must start at so that nothing is
  // skipped: the start line, the line of a keyword whose pages the run left
  // unfinished when it stopped, or the first keyword it gave up. (The start
  // line has moved past such a keyword already; the window saves it all the
  // same.)
  std::int32_t ResumeLine() const;
  // The line the window saves: the start line, past a keyword the user
  // stopped in the middle of as the window always did, but never past a
  // keyword whose pages did not load or that waits for the network.
  std::int32_t WindowSavedLine() const;
  std::int32_t PageCounter() const { return pageCounter_; }
  const std::string& BaseAddress() const { return baseAddress_; }
  const std::string& PageAddress() const { return pageAddress_; }
  bool StopFlag() const { return stopFlag_; }
  bool NextPageFlag() const { return nextPageFlag_; }
  std::int32_t BuyerCounter() const { return buyerCounter_; }
  std::int32_t AutoSaveClock() const { return autoSaveClock_; }
  bool ReadPending() const { return readPending_; }
  // Waiting for a verification page to be solved, or for the network.
  bool Paused() const { return pause_.has_value(); }
  std::optional<PauseReason> Pause() const { return pause_; }
  // What the run has done so far; at its end, what it did.
  RunSummary Summary() const;
  const std::string& Query() const { return queryEncoder_.input; }

  // The next run that starts goes on with the list as it is (restored after
  // a crash) instead of an empty one.
  void KeepListForNextRun() { keepList_ = true; }

  BuyerList& Buyers() { return buyers_; }
  const BuyerList& Buyers() const { return buyers_; }
  const std::vector<std::string>& PageLines() const { return pageLines_; }

  RunTimer& PageTimer() { return *pageTimer_; }
  RunTimer& Watchdog() { return *watchdog_; }

  // The speed and page limit as the spin boxes hold them: the number written
  // in the text, or the box's minimum when it is no number.
  int Speed() const;
  int PageLimit() const;

 private:
  const EngineRow& EngineRowInUse() const;
  // Asks the browser for the page at the page counter, arms the watchdog and
  // the page timer; RequestPage is this behind its guard.
  void LoadPage();
  using DocumentHandler = void (SearchRun::*)(PageDocument);
  void ReadDocument(DocumentHandler handler);
  void OnPageDocument(PageDocument document);
  void OnPauseDocument(PageDocument document);
  void OnReadTimeout();
  void OnLatePoll();
  void OnCooldownEnd();
  void SplitPageText(const std::string& utf8Text);
  void HarvestPage(const PageDocument& document);
  void OnPageFailed(const std::string& utf8Reason);
  void GiveUpKeyword();
  void RetryAfter(long long ms);
  void OnRetry();
  void Record(PageOutcome outcome);
  void EndKeyword();
  void MoveToNextKeyword();
  void ForgetPendingRead();
  void StopWaiting();
  void StartFirstRequest();
  void FirstRequest();
  void EnterPause(PauseReason reason);
  void EndPause();

  RunEnvironment env_;
  RunWindow& window_;
  PageBrowser& browser_;

  std::unique_ptr<RunTimer> pageTimer_;     // page timer
  std::unique_ptr<RunTimer> watchdog_;      // stall watchdog
  std::unique_ptr<RunTimer> readTimeout_;   // bounds a pending page-text read
  std::unique_ptr<RunTimer> cleanerDelay_;  // the half second before a Baidu run
  std::unique_ptr<RunTimer> latePoll_;      // looks again for a page not there yet
  std::unique_ptr<RunTimer> pausePoll_;     // looks at the browser during a pause
  std::unique_ptr<RunTimer> cooldown_;      // the extra wait before a keyword
  std::unique_ptr<RunTimer> retry_;         // the wait before a failed page is asked again

  FormEncoder queryEncoder_;
  std::int32_t startLine_ = 1;
  std::int32_t pageCounter_ = 0;
  std::string baseAddress_;
  std::string pageAddress_;
  bool stopFlag_ = false;
  bool nextPageFlag_ = false;
  std::int32_t buyerCounter_ = 0;
  std::int32_t autoSaveClock_ = 0;
  std::int32_t lastSeenPage_ = 0;
  bool dedup_ = false;  // 去重 as the current page step read it
  // The values the current page step accepted, for the recorder.
  std::vector<HarvestedValue> pageValues_;
  std::string keyword_;      // the keyword line in progress (GBK)
  bool keywordDone_ = true;  // its pages are all harvested

  bool readPending_ = false;
  std::uint64_t readId_ = 0;
  DocumentHandler readHandler_ = nullptr;
  int latePolls_ = 0;
  std::optional<PauseReason> pause_;
  bool coolingDown_ = false;
  bool waitingToRetry_ = false;
  bool keepList_ = false;
  int pageTries_ = 0;  // failed requests of the page in hand
  long long networkWaitMs_ = 0;
  // The latest keywords, in a row, whose pages did not load.
  std::vector<std::int32_t> failedStreak_;
  RunSummary summary_;
  // Counts runs, so that a cleaner finishing after its run is gone does not
  // start a request in the next one.
  std::uint64_t runNumber_ = 0;
  // Shared with pending callbacks so that an answer arriving after the run
  // is gone is dropped instead of touching freed memory.
  std::shared_ptr<SearchRun*> self_;

  BuyerList buyers_;
  // What the extractors read. Normally empty between ticks: the page's own
  // lines are read in place. It holds lines only when an extractor failed,
  // so that the next call reads them again ahead of the next page's lines.
  std::vector<std::string> pageLines_;
  // The page in hand as GBK text and its lines (views into it) as the
  // extractors read them; members, so that their buffers serve every page.
  std::string pageText_;
  std::vector<std::string_view> pageTextLines_;
};

}  // namespace brivano
