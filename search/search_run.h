// A search run: start, page cycle, stall watchdog, stop and end. All run
// state lives here for the life of the program. Options come in typed; what
// happens goes out to listeners; the host answers the few things the run
// asks. The window and brivano-run only show it and forward commands.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/buyer_list.h"
#include "search/engine_table.h"
#include "search/harvest_recorder.h"
#include "search/local_address.h"
#include "search/query_encoding.h"
#include "search/run_events.h"
#include "search/run_interfaces.h"
#include "search/run_summary.h"

namespace brivano {

// Why a run cannot start.
enum class StartRefusal { NotConnected, NoKeywords };

struct RunEnvironment {
  RunHost& host;
  PageBrowser& browser;
  TimerFactory& timers;
  EngineTable engines = DefaultEngineTable();
  NetworkLookups network;
  // Takes each page's values with their provenance; none when null.
  HarvestRecorder* recorder = nullptr;
  // A whole number from 0 to `most` for the wait between keywords; a
  // uniformly random one when empty.
  std::function<int(int most)> randomSeconds;
  // The time a page step is stamped with (ISO 8601 UTC); the clock's when
  // empty.
  std::function<std::string()> utcNow;
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

  void AddListener(RunListener& listener) { listeners_.push_back(&listener); }
  // The work the run carries on beside its result pages; none when null.
  void SetCompanion(RunCompanion* companion) { companion_ = companion; }

  // What keeps a run from starting, checked before anything else.
  std::optional<StartRefusal> CheckStart() const;
  int KeywordLineCount() const;
  // 搜索, at keyword line `line` (at least 1). Returns false, having done
  // nothing, when CheckStart refuses.
  bool Start(const RunOptions& options, std::int32_t line);
  // The user changed a box during the run: the speed counts from the next
  // tick, the rest from the next page step.
  void ChangeOptions(const RunOptions& options);
  const RunOptions& Options() const { return options_; }
  void Stop();         // 终止
  void ProcessPage();  // the page step, which the page timer's tick starts
  // What an extractor calls for every value it finds.
  void AddBuyerItem(std::string_view value, ContactKind kind) override;
  // A visited site page: its values of the run's kind go the way a result
  // page's go (去重, 跨次去重, 号码校验, the list, the store), each owned by
  // the result the site came from.
  void HarvestSitePage(const SitePageRead& page);
  void SitesProgressed(const SiteProgress& progress);

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
  const std::string& PageAddress() const { return pageAddress_; }
  bool StopFlag() const { return stopFlag_; }
  // From the start until 终止 or the end of the run (a run whose closing
  // save failed stays active, as its window's controls do).
  bool Active() const { return active_; }
  bool NextPageFlag() const { return nextPageFlag_; }
  std::int32_t BuyerCounter() const { return buyerCounter_; }
  std::int32_t AutoSaveClock() const { return autoSaveClock_; }
  bool ReadPending() const { return readPending_; }
  // Waiting for a verification page to be solved, or for the network.
  bool Paused() const { return pause_.has_value(); }
  std::optional<PauseReason> Pause() const { return pause_; }
  // What the run has done so far; at its end, what it did.
  RunSummary Summary() const;

  // The next run that starts goes on with the list as it is (restored after
  // a crash) instead of an empty one.
  void KeepListForNextRun() { keepList_ = true; }

  BuyerList& Buyers() { return buyers_; }
  const BuyerList& Buyers() const { return buyers_; }

  RunTimer& PageTimer() { return *pageTimer_; }
  RunTimer& Watchdog() { return *watchdog_; }

 private:
  // A page's result blocks as the owners of its values: what the buyer list
  // shows of each block, and the block each value of the run's kind first
  // stands in, as the extractor finds it in the block's text.
  struct PageOwners {
    std::vector<std::shared_ptr<const ResultOwner>> owners;
    std::unordered_map<std::string, std::size_t> firstBlock;
  };
  void PrepareKeyword();
  void RequestPage();  // the page request
  void OnPageTimer();  // page timer tick
  void OnWatchdog();   // stall watchdog
  void EndRun();       // end of run
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
  void ExtractLines(const std::shared_ptr<const PageSource>& source,
                    const std::shared_ptr<const PageOwners>& owners,
                    std::span<const std::string_view> lines);
  std::shared_ptr<const PageSource> SourceOfPageInHand() const;
  std::shared_ptr<const PageOwners> OwnersOf(const PageDocument& document) const;
  std::shared_ptr<const ResultOwner> OwnerOf(const std::string& value) const;
  template <typename Event, typename... Args>
  void Announce(Event event, const Args&... args) {
    for (RunListener* listener : listeners_) (listener->*event)(args...);
  }
  void OnPageFailed(const std::string& utf8Reason);
  void GiveUpKeyword();
  void RetryAfter(long long ms);
  void OnRetry();
  // Hands the page step to the recorder and the listeners; the page in hand
  // is the source when none is given.
  void Record(PageOutcome outcome, bool keywordDone,
              std::shared_ptr<const PageSource> source = nullptr);
  void EndKeyword();
  void MoveToNextKeyword();
  void ForgetPendingRead();
  void StopWaiting();
  void StartFirstRequest();
  void FirstRequest();
  void EnterPause(PauseReason reason);
  void EndPause();

  RunEnvironment env_;
  RunHost& host_;
  PageBrowser& browser_;
  std::vector<RunListener*> listeners_;
  RunOptions options_;
  int pageIntervalMs_ = 8000;  // the speed as the page timer takes it
  bool active_ = false;
  RunCompanion* companion_ = nullptr;
  // The engine is done with; the run waits for its companion to finish.
  bool finishingCompanion_ = false;

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
  // The values the current page step accepted, for the recorder.
  std::vector<ContactValue> pageValues_;
  // Where the values being extracted came from, and the blocks of that page.
  std::shared_ptr<const PageSource> extracting_;
  std::shared_ptr<const PageOwners> extractingOwners_;
  // The owner of every value of the site page being extracted.
  std::shared_ptr<const ResultOwner> extractingSiteOwner_;
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
  // lines are read in place. It holds pages only when an extractor failed,
  // so that the next step reads their lines again, each with its own source,
  // ahead of the next page's lines.
  struct HeldPage {
    std::shared_ptr<const PageSource> source;
    std::shared_ptr<const PageOwners> owners;
    std::vector<std::string> lines;
  };
  std::vector<HeldPage> heldPages_;
  // The page in hand as GBK text and its lines (views into it) as the
  // extractors read them; members, so that their buffers serve every page.
  std::string pageText_;
  std::vector<std::string_view> pageTextLines_;
};

}  // namespace brivano
