#include "search/search_run.h"

#include <algorithm>
#include <exception>
#include <limits>
#include <random>

#include "base/local_time.h"
#include "base/text.h"
#include "extract/extractors.h"
#include "search/company_name.h"
#include "search/load_failure_text.h"
#include "search/local_address.h"
#include "search/result_address.h"
#include "search/result_blocks.h"
#include "search/run_messages.h"
#include "search/verification.h"

namespace brivano {
namespace {

std::string Decimal(long long value) {
  return std::to_string(value);
}

// A desktop timer with a period of zero or less never fires, which would
// freeze a run on a speed text such as "0"; the period is kept at one second
// at least and within what a timer can hold.
int IntervalForSpeed(int speedSeconds) {
  const long long ms = static_cast<long long>(speedSeconds) * 1000;
  return static_cast<int>(std::clamp<long long>(ms, 1000, std::numeric_limits<int>::max()));
}

std::int32_t SaturatingAdd(std::int32_t a, std::int32_t b) {
  const long long sum = static_cast<long long>(a) + b;
  return static_cast<std::int32_t>(std::clamp<long long>(
      sum, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

int RandomSeconds(int most) {
  static std::mt19937 generator{std::random_device{}()};
  return std::uniform_int_distribution<int>(0, most)(generator);
}

}  // namespace

SearchRun::SearchRun(RunEnvironment environment)
    : env_(std::move(environment)),
      host_(env_.host),
      browser_(env_.browser),
      self_(std::make_shared<SearchRun*>(this)) {
  pageTimer_ = env_.timers.CreateTimer(8000, [this] { OnPageTimer(); });
  watchdog_ = env_.timers.CreateTimer(kWatchdogIntervalMs, [this] { OnWatchdog(); });
  readTimeout_ = env_.timers.CreateTimer(env_.readTimeoutMs, [this] { OnReadTimeout(); });
  cleanerDelay_ = env_.timers.CreateTimer(env_.cleanerDelayMs, [this] {
    cleanerDelay_->SetEnabled(false);
    StartFirstRequest();
  });
  latePoll_ = env_.timers.CreateTimer(env_.latePollMs, [this] { OnLatePoll(); });
  pausePoll_ = env_.timers.CreateTimer(env_.pausePollMs, [this] {
    if (!readPending_) ReadDocument(&SearchRun::OnPauseDocument);
  });
  cooldown_ = env_.timers.CreateTimer(1000, [this] { OnCooldownEnd(); });
  retry_ = env_.timers.CreateTimer(env_.failRetryMs, [this] { OnRetry(); });
  if (!env_.randomSeconds) env_.randomSeconds = &RandomSeconds;
  if (!env_.utcNow) env_.utcNow = &UtcNowIso8601;
}

SearchRun::~SearchRun() {
  *self_ = nullptr;
}

std::int32_t SearchRun::ResumeLine() const {
  const std::int32_t line = keywordDone_ ? startLine_ : startLine_ - 1;
  if (summary_.failedLines.empty()) return line;
  return std::min(line,
                  *std::min_element(summary_.failedLines.begin(), summary_.failedLines.end()));
}

std::int32_t SearchRun::WindowSavedLine() const {
  const bool failed = !summary_.failedLines.empty() || pause_ == PauseReason::NetworkDown;
  return failed ? ResumeLine() : startLine_;
}

RunSummary SearchRun::Summary() const {
  RunSummary summary = summary_;
  summary.valuesKept = buyerCounter_;
  return summary;
}

const EngineRow& SearchRun::EngineRowInUse() const {
  return env_.engines[static_cast<int>(options_.engine)];
}

std::optional<StartRefusal> SearchRun::CheckStart() const {
  if (!LooksConnected(env_.network)) return StartRefusal::NotConnected;
  if (host_.KeywordLineCount() == 0) return StartRefusal::NoKeywords;
  return std::nullopt;
}

int SearchRun::KeywordLineCount() const {
  return host_.KeywordLineCount();
}

void SearchRun::ChangeOptions(const RunOptions& options) {
  options_ = options;
  pageIntervalMs_ = IntervalForSpeed(options_.speed);
}

bool SearchRun::Start(const RunOptions& options, std::int32_t line) {
  if (CheckStart()) return false;
  ChangeOptions(options);
  startLine_ = std::max<std::int32_t>(line, 1);

  StopWaiting();
  EndPause();
  ++runNumber_;
  summary_ = {};
  failedStreak_.clear();
  pageTries_ = 0;
  finishingCompanion_ = false;
  if (env_.recorder != nullptr) env_.recorder->RunStarted(options_);
  if (companion_ != nullptr) companion_->RunStarted(options_);
  PrepareKeyword();
  stopFlag_ = false;
  nextPageFlag_ = true;
  // A run starts with an empty list, unless the list was just restored
  // after a crash: then it goes on with it.
  if (keepList_) {
    buyerCounter_ = static_cast<std::int32_t>(
        std::min<std::size_t>(buyers_.size(), std::numeric_limits<std::int32_t>::max()));
  } else {
    buyerCounter_ = 0;
    buyers_.Clear();
  }
  keepList_ = false;
  heldPages_.clear();

  active_ = true;
  pageTimer_->SetInterval(pageIntervalMs_);
  Announce(&RunListener::RunStarted,
           RunStart{host_.KeywordLineCount(), startLine_ - 1, buyerCounter_});

  if (options_.engine == Engine::Baidu) {
    // Baidu runs start from a cleared browser; the clearing and the first
    // request follow half a second later without blocking the window.
    cleanerDelay_->SetEnabled(false);
    cleanerDelay_->SetEnabled(true);
    return true;
  }
  StartFirstRequest();
  return true;
}

void SearchRun::StartFirstRequest() {
  if (options_.engine != Engine::Baidu) {
    FirstRequest();
    return;
  }
  // The browser cannot load while its cache is being emptied: a request made
  // then is lost. The cleaner says when it may go.
  std::weak_ptr<SearchRun*> self = self_;
  host_.ClearBrowserCache([self, run = runNumber_] {
    if (auto alive = self.lock(); alive && *alive && (*alive)->runNumber_ == run) {
      (*alive)->FirstRequest();
    }
  });
}

void SearchRun::FirstRequest() {
  Announce(&RunListener::Status, Gbk(EngineStatusText(EngineRowInUse())));
  try {
    RequestPage();
  } catch (const std::exception&) {
    // Errors of the first request are ignored; the watchdog recovers.
  }
}

void SearchRun::PrepareKeyword() {
  const int lineCount = host_.KeywordLineCount();
  const std::string line =
      (startLine_ >= 1 && startLine_ <= lineCount) ? host_.KeywordLine(startLine_ - 1) : "";
  keyword_ = line;
  keywordDone_ = false;
  queryEncoder_.input = BuildQuery(line, options_.Mark(options_.kind));
  if (startLine_ < std::numeric_limits<std::int32_t>::max()) ++startLine_;

  const EngineRow& row = EngineRowInUse();
  baseAddress_ = brivano::BaseAddress(row, queryEncoder_);
  pageCounter_ = row.counterStart;
}

void SearchRun::RequestPage() {
  if (!nextPageFlag_ || stopFlag_) {
    EndRun();
    return;
  }
  LoadPage();
}

void SearchRun::LoadPage() {
  const EngineRow& row = EngineRowInUse();
  pageAddress_ = baseAddress_ + Decimal(PageValue(row, pageCounter_));
  // Every engine shows the 1-based number of the page just requested.
  const long long pageNumber = static_cast<long long>(pageCounter_) - row.counterStart + 1;
  if (pageCounter_ < std::numeric_limits<std::int32_t>::max()) ++pageCounter_;
  Announce(&RunListener::PageRequested, PageRequest{startLine_ - 1, pageNumber});
  watchdog_->SetEnabled(true);
  StopWaiting();
  try {
    browser_.Navigate(pageAddress_);
  } catch (...) {
    // The browser loads on its own; a failing call changes nothing for the
    // cycle, which reads whatever the browser shows at the next tick.
  }
  pageTimer_->SetEnabled(true);
}

void SearchRun::OnPageTimer() {
  Announce(&RunListener::Status, Gbk(EngineStatusText(EngineRowInUse())));
  pageTimer_->SetEnabled(false);
  autoSaveClock_ = SaturatingAdd(autoSaveClock_, options_.speed);
  if (autoSaveClock_ >= kAutoSaveSeconds) {
    autoSaveClock_ = 0;
    // A failed state save has been reported; the tick ends and the watchdog
    // carries the run on.
    if (options_.autoSave && !host_.SaveState()) return;
  }
  pageTimer_->SetInterval(pageIntervalMs_);
  ProcessPage();
}

void SearchRun::ProcessPage() {
  // One read at a time: the answer of the browser decides what follows.
  if (!readPending_) ReadDocument(&SearchRun::OnPageDocument);
}

void SearchRun::ReadDocument(DocumentHandler handler) {
  readPending_ = true;
  readHandler_ = handler;
  const std::uint64_t readId = ++readId_;
  readTimeout_->SetEnabled(false);
  readTimeout_->SetEnabled(true);
  std::weak_ptr<SearchRun*> self = self_;
  DocumentQuery query = DocumentQueryFor(EngineRowInUse());
  // A page step reads the result blocks from the markup; a look during a
  // pause does not need it.
  query.markup = handler == &SearchRun::OnPageDocument;
  browser_.ReadDocument(query, [self, readId](PageDocument document) {
    auto alive = self.lock();
    if (!alive || !*alive) return;
    SearchRun& run = **alive;
    if (!run.readPending_ || readId != run.readId_) return;  // an answer to an older request
    run.readPending_ = false;
    run.readTimeout_->SetEnabled(false);
    (run.*run.readHandler_)(std::move(document));
  });
}

void SearchRun::ForgetPendingRead() {
  if (!readPending_) return;
  readPending_ = false;
  ++readId_;
  readTimeout_->SetEnabled(false);
}

void SearchRun::StopWaiting() {
  ForgetPendingRead();
  latePoll_->SetEnabled(false);
  latePolls_ = 0;
  cooldown_->SetEnabled(false);
  coolingDown_ = false;
  retry_->SetEnabled(false);
  waitingToRetry_ = false;
}

void SearchRun::OnReadTimeout() {
  readTimeout_->SetEnabled(false);
  // A read that never answers counts as a page without a document: the tick
  // ends and the watchdog recovers.
  ForgetPendingRead();
}

void SearchRun::OnPageDocument(PageDocument document) {
  switch (document.state) {
    case PageDocument::State::None:
      return;  // no document or no body: the tick ends here
    case PageDocument::State::NotYet: {
      // Reading the earlier page again would add its values twice and take
      // the next-page decision from the wrong page: the requested one gets
      // more time, up to the watchdog's period. A page that has not come by
      // then was lost on the way and is asked for again.
      const int mostPolls = std::max(1, kWatchdogIntervalMs / std::max(1, env_.latePollMs));
      if (latePolls_ < mostPolls) {
        ++latePolls_;
        latePoll_->SetEnabled(true);
        return;
      }
      latePolls_ = 0;
      OnPageFailed("页面没有载入");
      return;
    }
    case PageDocument::State::Failed:
      latePolls_ = 0;
      OnPageFailed(document.failure);
      return;
    case PageDocument::State::Shown:
      break;
  }
  latePolls_ = 0;
  try {
    HarvestPage(document);
  } catch (const std::exception&) {
    // An error inside the page step ends the tick; the watchdog recovers.
  }
}

void SearchRun::OnLatePoll() {
  latePoll_->SetEnabled(false);
  ProcessPage();
}

void SearchRun::SplitPageText(const std::string& utf8Text) {
  pageText_ = Utf8ToGbk(utf8Text);
  pageTextLines_.clear();
  ForEachTextLine(pageText_, kPageLineBytes,
                  [this](std::string_view line) { pageTextLines_.push_back(line); });
}

void SearchRun::HarvestPage(const PageDocument& document) {
  SplitPageText(document.utf8Text);
  const EngineRow& row = EngineRowInUse();
  const bool showsNextPage = ShowsNextPage(row, document, pageTextLines_);
  if (IsVerificationPage(row, document, pageTextLines_, showsNextPage)) {
    // Nothing of the wall is harvested and no page is used up.
    ++summary_.wallsMet;
    Record(PageOutcome::Wall, false);
    if (stopFlag_) {
      EndRun();
    } else {
      EnterPause(PauseReason::Verification);
    }
    return;
  }
  // The page came: whatever failed before was passing.
  pageTries_ = 0;
  failedStreak_.clear();
  if (pause_ == PauseReason::NetworkDown) {
    EndPause();
    Announce(&RunListener::Resumed, PauseReason::NetworkDown);
    Announce(&RunListener::Status, Gbk(EngineStatusText(row)));
  }

  const std::shared_ptr<const PageSource> source = SourceOfPageInHand();
  const std::shared_ptr<const PageOwners> owners = OwnersOf(document);
  if (companion_ != nullptr) companion_->ResultsRead(source, owners->owners);
  pageValues_.clear();
  if (heldPages_.empty()) {
    try {
      ExtractLines(source, owners, pageTextLines_);
    } catch (...) {
      heldPages_.push_back({source, owners, {pageTextLines_.begin(), pageTextLines_.end()}});
      throw;
    }
  } else {
    heldPages_.push_back({source, owners, {pageTextLines_.begin(), pageTextLines_.end()}});
    for (const HeldPage& held : heldPages_) {
      const std::vector<std::string_view> lines(held.lines.begin(), held.lines.end());
      ExtractLines(held.source, held.owners, lines);
    }
    heldPages_.clear();
  }

  ++summary_.pagesRead;
  nextPageFlag_ = showsNextPage;
  const int limit = options_.pageLimit;
  const bool limitReached = row.pageLimitRule == PageLimitRule::CounterAtLeastLimit
                                ? pageCounter_ >= limit
                                : pageCounter_ > limit;
  if (limitReached) nextPageFlag_ = false;
  // Empty: the engine had nothing for this page, neither results nor values.
  const bool noResults = document.resultBlocks == 0 || pageTextLines_.empty();
  Record(noResults && pageValues_.empty() ? PageOutcome::Empty : PageOutcome::Read, !nextPageFlag_,
         source);

  if (nextPageFlag_) {
    if (stopFlag_) {
      EndRun();
    } else {
      LoadPage();
    }
    return;
  }
  ++summary_.keywordsDone;
  EndKeyword();
}

std::shared_ptr<const PageSource> SearchRun::SourceOfPageInHand() const {
  return std::make_shared<const PageSource>(
      PageSource{startLine_ - 1, keyword_, EngineRowInUse().cliName,
                 pageCounter_ - EngineRowInUse().counterStart, pageAddress_, env_.utcNow(),
                 env_.recorder != nullptr ? env_.recorder->RunId() : 0});
}

void SearchRun::ExtractLines(const std::shared_ptr<const PageSource>& source,
                             const std::shared_ptr<const PageOwners>& owners,
                             std::span<const std::string_view> lines) {
  extracting_ = source;
  extractingOwners_ = owners;
  ExtractPage(options_.kind, lines, *this);
  extracting_.reset();
  extractingOwners_.reset();
}

std::shared_ptr<const SearchRun::PageOwners> SearchRun::OwnersOf(
    const PageDocument& document) const {
  // Collects the values of one block, keeping the first block of each.
  struct BlockValues : BuyerSink {
    PageOwners& page;
    std::size_t block = 0;
    explicit BlockValues(PageOwners& owners) : page(owners) {}
    void AddBuyerItem(std::string_view value, ContactKind) override {
      page.firstBlock.emplace(std::string(value), block);
    }
  };
  auto owners = std::make_shared<PageOwners>();
  if (document.html.empty()) return owners;
  BlockValues values(*owners);
  for (const ResultBlock& block : ReadResultBlocks(document.html, EngineRowInUse())) {
    const std::string title = CleanTitle(block.title);
    values.block = owners->owners.size();
    owners->owners.push_back(std::make_shared<const ResultOwner>(
        ResultOwner{Utf8ToGbk(title), Utf8ToGbk(CompanyName(title, block.text)),
                    Utf8ToGbk(block.site), Utf8ToGbk(block.target)}));
    ExtractText(options_.kind, Utf8ToGbk(block.text), values, kPageLineBytes);
  }
  return owners;
}

// The first block whose text holds the value, found by the same extractor:
// one look-up however many blocks and values a page has.
std::shared_ptr<const ResultOwner> SearchRun::OwnerOf(const std::string& value) const {
  if (extractingSiteOwner_) return extractingSiteOwner_;
  if (!extractingOwners_) return nullptr;
  const auto found = extractingOwners_->firstBlock.find(value);
  if (found == extractingOwners_->firstBlock.end()) return nullptr;
  return extractingOwners_->owners[found->second];
}

void SearchRun::Record(PageOutcome outcome, bool keywordDone,
                       std::shared_ptr<const PageSource> source) {
  HarvestedPage page{source ? std::move(source) : SourceOfPageInHand(), {}, outcome};
  // Values read again from a page whose step broke off go to the store with
  // that page, ahead of this one; they come first in the list.
  auto from = pageValues_.begin();
  while (from != pageValues_.end() && from->source != page.source) {
    auto to = std::find_if(from, pageValues_.end(),
                           [&](const ContactValue& v) { return v.source != from->source; });
    if (env_.recorder != nullptr) {
      env_.recorder->PageHarvested({from->source, {from, to}, PageOutcome::Read});
    }
    from = to;
  }
  page.values.assign(std::make_move_iterator(from), std::make_move_iterator(pageValues_.end()));
  pageValues_.clear();
  if (env_.recorder != nullptr) env_.recorder->PageHarvested(page);
  Announce(&RunListener::PageDone, page, keywordDone);
}

void SearchRun::EndKeyword() {
  pageCounter_ = 0;
  keywordDone_ = true;
  if (host_.KeywordLineCount() < startLine_ || stopFlag_) {
    EndRun();
    return;
  }
  MoveToNextKeyword();
}

void SearchRun::OnPageFailed(const std::string& utf8Reason) {
  pageTimer_->SetEnabled(false);
  watchdog_->SetEnabled(false);
  if (stopFlag_) {
    EndRun();  // the keyword stays unfinished, so a later run asks for it again
    return;
  }
  ++pageTries_;
  if (pause_ == PauseReason::NetworkDown) {
    networkWaitMs_ = std::min<long long>(networkWaitMs_ * 2, env_.longestNetworkWaitMs);
    RetryAfter(networkWaitMs_);
    return;
  }
  if (pageTries_ < kPageTries) {
    const long long wait = static_cast<long long>(env_.failRetryMs) << (pageTries_ - 1);
    const long long page = static_cast<long long>(pageCounter_) - EngineRowInUse().counterStart;
    Announce(&RunListener::PageRetried,
             PageRetry{page, LoadFailureText(utf8Reason), wait, pageTries_, kPageTries - 1});
    RetryAfter(wait);
    return;
  }
  GiveUpKeyword();
}

void SearchRun::GiveUpKeyword() {
  pageTries_ = 0;
  const std::int32_t line = startLine_ - 1;
  failedStreak_.push_back(line);
  if (static_cast<int>(failedStreak_.size()) >= kFailedKeywordsForNetworkDown) {
    // Not the keywords but the way to the engine failed: the keywords of the
    // streak are taken back and asked for again once pages load.
    for (std::int32_t failed : failedStreak_) {
      std::erase(summary_.failedLines, failed);
    }
    startLine_ = failedStreak_.front();
    failedStreak_.clear();
    PrepareKeyword();
    EnterPause(PauseReason::NetworkDown);
    networkWaitMs_ = env_.failRetryMs;
    RetryAfter(networkWaitMs_);
    return;
  }
  summary_.failedLines.push_back(line);
  Record(PageOutcome::Failed, true);
  EndKeyword();
}

void SearchRun::RetryAfter(long long ms) {
  waitingToRetry_ = true;
  retry_->SetInterval(
      static_cast<int>(std::clamp<long long>(ms, 1, std::numeric_limits<int>::max())));
  retry_->SetEnabled(true);
}

void SearchRun::OnRetry() {
  retry_->SetEnabled(false);
  if (!waitingToRetry_) return;
  waitingToRetry_ = false;
  if (stopFlag_) {
    EndRun();
    return;
  }
  // The page that failed is the one to ask for again.
  pageCounter_ = std::max(pageCounter_ - 1, EngineRowInUse().counterStart);
  LoadPage();
}

void SearchRun::MoveToNextKeyword() {
  PrepareKeyword();
  // An optional random rest between keywords makes the run look less like a
  // robot to the engines.
  const int most = host_.CooldownSeconds();
  const int wait = most > 0 ? std::clamp(env_.randomSeconds(most), 0, most) : 0;
  if (wait == 0) {
    LoadPage();
    return;
  }
  coolingDown_ = true;
  cooldown_->SetInterval(IntervalForSpeed(wait));
  cooldown_->SetEnabled(true);
}

void SearchRun::OnCooldownEnd() {
  cooldown_->SetEnabled(false);
  if (!coolingDown_) return;
  coolingDown_ = false;
  if (stopFlag_) {
    EndRun();
  } else {
    LoadPage();
  }
}

void SearchRun::EnterPause(PauseReason reason) {
  pause_ = reason;
  pageTimer_->SetEnabled(false);
  watchdog_->SetEnabled(false);
  const std::string message =
      Gbk(reason == PauseReason::Verification ? run_messages::kVerificationPause
                                              : run_messages::kNetworkDownPause);
  Announce(&RunListener::Paused, reason, message);
  // The run itself asks again while the network is down; a wall waits for
  // the user.
  pausePoll_->SetEnabled(reason == PauseReason::Verification);
}

void SearchRun::EndPause() {
  pause_.reset();
  pausePoll_->SetEnabled(false);
}

void SearchRun::OnPauseDocument(PageDocument document) {
  if (pause_ != PauseReason::Verification || document.state != PageDocument::State::Shown) return;
  const EngineRow& row = EngineRowInUse();
  if (!IsEngineAddress(row, document.address)) return;
  SplitPageText(document.utf8Text);
  if (IsVerificationPage(row, document, pageTextLines_,
                         ShowsNextPage(row, document, pageTextLines_))) {
    return;
  }
  // The engine shows its own pages again: ask again for the page the wall
  // stood in front of.
  EndPause();
  Announce(&RunListener::Resumed, PauseReason::Verification);
  Announce(&RunListener::Status, Gbk(EngineStatusText(row)));
  pageCounter_ = std::max(pageCounter_ - 1, row.counterStart);
  LoadPage();
}

void SearchRun::OnWatchdog() {
  // While the page text is being read or waited for, or the run rests
  // between keywords, the page step owns the run.
  if (readPending_ || latePoll_->Enabled() || coolingDown_ || waitingToRetry_) return;
  if (pageCounter_ == lastSeenPage_) {
    try {
      RequestPage();
    } catch (const std::exception&) {
    }
  } else {
    lastSeenPage_ = pageCounter_;
  }
}

void SearchRun::Stop() {
  if (!active_) return;
  stopFlag_ = true;
  active_ = false;
  watchdog_->SetEnabled(false);
  Announce(&RunListener::Stopping);
  // What the run does beside the engine ends now, keeping what it read.
  if (companion_ != nullptr) companion_->Stop();
  // Paused, resting, waiting to ask again or for the site visits, no page
  // step is coming that would end the run.
  if (pause_ || coolingDown_ || waitingToRetry_ || finishingCompanion_) {
    StopWaiting();
    EndRun();
  }
}

void SearchRun::EndRun() {
  pageTimer_->SetEnabled(false);
  watchdog_->SetEnabled(false);
  StopWaiting();
  if (companion_ != nullptr && !stopFlag_ && !finishingCompanion_) {
    // The engine is done with; the sites still queued are visited first.
    std::weak_ptr<SearchRun*> self = self_;
    finishingCompanion_ = companion_->FinishBeforeEnd([self, run = runNumber_] {
      if (auto alive = self.lock(); alive && *alive && (*alive)->runNumber_ == run &&
                                    (*alive)->finishingCompanion_ && (*alive)->active_) {
        (*alive)->EndRun();
      }
    });
    if (finishingCompanion_) {
      Announce(&RunListener::Status, Gbk(run_messages::kVisitingSites));
      return;
    }
  }
  finishingCompanion_ = false;
  if (companion_ != nullptr) companion_->Stop();
  const RunOutcome outcome = stopFlag_                       ? RunOutcome::Stopped
                             : !summary_.failedLines.empty() ? RunOutcome::Failed
                                                             : RunOutcome::Finished;
  if (env_.recorder != nullptr) env_.recorder->RunEnded(outcome);
  // The save still sees the pause, so that it keeps a keyword the network
  // held up.
  const bool saved = host_.SaveState();
  EndPause();
  if (saved) active_ = false;
  Announce(&RunListener::RunEnded,
           RunEnd{outcome, Summary(), ResumeLine(),
                  env_.recorder != nullptr ? env_.recorder->EndNote() : std::string(), saved});
}

void SearchRun::HarvestSitePage(const SitePageRead& page) {
  if (!active_ || !page.resultPage) return;
  PageSource source = *page.resultPage;
  source.pageUrl = page.address;
  source.sitePage = true;
  source.pageTitle = page.title;
  source.timeUtc = env_.utcNow();
  auto shared = std::make_shared<const PageSource>(std::move(source));
  // A site's page is read whole: its long lines are cut into pieces, never
  // short (the results page keeps the browser's cut of its lines).
  std::vector<std::string_view> lines;
  ForEachTextLine(page.text, std::string_view::npos, [&](std::string_view line) {
    for (std::string_view piece : SplitLongLine(line, kPageLineBytes)) lines.push_back(piece);
  });
  // Between page steps: nothing else is being extracted, so the page's
  // values are the only ones collected.
  std::vector<ContactValue> before = std::move(pageValues_);
  pageValues_.clear();
  extractingSiteOwner_ = page.owner;
  try {
    ExtractLines(shared, nullptr, lines);
  } catch (...) {
    // A failing extractor loses this page only; the run goes on.
    extracting_.reset();
  }
  extractingSiteOwner_.reset();
  HarvestedPage harvested{shared, std::move(pageValues_), PageOutcome::Read};
  pageValues_ = std::move(before);
  if (env_.recorder != nullptr) env_.recorder->PageHarvested(harvested);
}

void SearchRun::SitesProgressed(const SiteProgress& progress) {
  summary_.visitedSites = true;
  summary_.sites = progress;
  Announce(&RunListener::SitesProgressed, progress);
}

void SearchRun::AddBuyerItem(std::string_view value, ContactKind kind) {
  if (options_.dedup && buyers_.Contains(value)) return;
  if (env_.recorder != nullptr && !env_.recorder->Accepts(value, kind)) return;
  ContactValue kept{std::string(value), kind, extracting_, nullptr};
  kept.owner = OwnerOf(kept.value);
  if (extracting_) pageValues_.push_back(kept);
  buyers_.Append(std::move(kept));
  buyerCounter_ = SaturatingAdd(buyerCounter_, 1);
  Announce(&RunListener::ValueKept, buyers_.items().back(), buyerCounter_);
}

}  // namespace brivano
