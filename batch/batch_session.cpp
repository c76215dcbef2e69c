#include "batch/batch_session.h"

#include <algorithm>
#include <csignal>

#include "base/error_text.h"
#include "base/text.h"
#include "batch/keyword_file.h"
#include "files/output_clash.h"
#include "files/output_probe.h"
#include "files/run_tuning.h"
#include "search/run_messages.h"
#include "search/start_command.h"
#include "store/exports.h"

namespace brivano {

namespace {

// The state save's messages, which the desktop program shows in boxes, go
// to standard error.
class MessageFeedback : public UserFeedback {
 public:
  MessageFeedback(std::function<void(const std::string&)> say,
                  std::function<void(const std::string&)> sayError)
      : say_(std::move(say)), sayError_(std::move(sayError)) {}
  void ShowError(const std::string& text) override { sayError_(GbkToUtf8(text)); }
  void ShowMessage(const std::string& text) override { say_(GbkToUtf8(text)); }
  void SetBusyCursor(bool) override {}
  void Repaint() override {}
  void SetStatusText(const std::string&) override {}

 private:
  std::function<void(const std::string&)> say_;
  std::function<void(const std::string&)> sayError_;
};

// The longest wait between two looks at a verification page: a day keeps
// the timer's milliseconds inside an int.
constexpr long long kLongestRetryMs = 24LL * 3600 * 1000;
// What the last retry gets at least before the run gives up: time to load
// the page and for the paused run to look at it.
constexpr long long kLastRetrySettleMs = 20000;

// --max-wait in milliseconds, inside what a timer can hold.
long long LongestRetryMs(double maxWaitMinutes) {
  return std::clamp(static_cast<long long>(maxWaitMinutes * 60000), 1LL, kLongestRetryMs);
}

// A wait as the messages say it: "10 分钟", or "36 秒" when not whole minutes.
std::string WaitText(long long ms) {
  const long long seconds = ms / 1000;
  return seconds >= 60 && seconds % 60 == 0 ? std::to_string(seconds / 60) + " 分钟"
                                            : std::to_string(std::max(1LL, seconds)) + " 秒";
}

}  // namespace

BatchSession::BatchSession(BatchOptions options, BatchEnvironment environment)
    : options_(std::move(options)),
      env_(std::move(environment)),
      printer_(env_.writeError, env_.terminal),
      feedback_(
          std::make_unique<MessageFeedback>([this](const std::string& text) { Say(text); },
                                            [this](const std::string& text) { SayError(text); })),
      wiring_(std::make_unique<RunWiring>(
          RunParts{.host = *this,
                   .browser = env_.browser,
                   .timers = env_.timers,
                   .settings = settings_,
                   .feedback = *feedback_,
                   .files = env_.files,
                   .engines = env_.engines,
                   .network = env_.network,
                   .program = std::string(kBatchProgramName),
                   .reportStore = [this](const std::string& message) { SayError(message); },
                   .randomSeconds = env_.randomSeconds,
                   .fetcher = env_.fetcher,
                   .nowMs = env_.nowMs})),
      resume_(env_.files.DataFolder() / kBatchStateFileName) {
  if (!wiring_->EngineProblem().empty()) SayError(wiring_->EngineProblem());
  Run().AddListener(*this);
  retryTimer_ = env_.timers.CreateTimer(1000, [this] { OnRetryTimer(); });
  networkTimer_ = env_.timers.CreateTimer(1000, [this] { OnNetworkTimer(); });
  // A desktop timer of period 0 never fires: 1 ms is the next event loop.
  stopTimer_ = env_.timers.CreateTimer(1, [this] {
    stopTimer_->SetEnabled(false);
    Run().Stop();
  });
  finishTimer_ = env_.timers.CreateTimer(1, [this] { Finish(); });
}

BatchSession::~BatchSession() = default;

std::string BatchSession::KeywordLine(int index0) const {
  if (index0 < 0 || index0 >= KeywordLineCount()) return {};
  return lines_[static_cast<std::size_t>(index0)];
}

void BatchSession::ClearBrowserCache(std::function<void()> done) {
  env_.clearBrowserCache(std::move(done));
}

int BatchSession::CooldownSeconds() const {
  return wiring_->State().CooldownSeconds();
}

void BatchSession::Say(std::string_view utf8Line) {
  printer_.Message(utf8Line);
}

void BatchSession::SayError(std::string_view utf8Message) {
  printer_.Message(ErrorLine(kBatchProgramName, utf8Message));
}

std::optional<int> BatchSession::Start() {
  startMs_ = env_.nowMs();
  // --out must not replace what the run reads or keeps, and must be
  // writable: checked before the first request, not after the whole search.
  if (options_.out) {
    const ProgramFiles& files = env_.files;
    if (const std::optional<std::string> clash = OutputClash(
            *options_.out,
            {options_.keywords, files.SettingsPath(), files.DataFolder() / kBatchStateFileName,
             files.folder / kEngineOverridesFileName},
            files.StorePath())) {
      SayError(*clash);
      return kBatchFailed;
    }
    if (const std::optional<std::string> problem = OutputFileProblem(*options_.out)) {
      SayError(*problem);
      return kBatchFailed;
    }
  }
  wiring_->State().Load();
  KeywordFile keywords = ReadKeywordFile(options_.keywords, options_.encoding);
  if (!keywords.error.empty()) {
    SayError(keywords.error);
    return kBatchFailed;
  }

  keywordFileKey_ = KeywordFileKey(options_.keywords, keywords.lines);
  wiring_->Recorder().SetSource(keywordFileKey_);
  const std::optional<std::int32_t> recovered = RecoverCrashedRun();

  RunOptions options = settings_.Loaded();
  if (options_.engine) options.engine = *options_.engine;
  if (options_.kind) options.kind = *options_.kind;
  if (options_.speed) options.speed = *options_.speed;
  if (options_.pages) options.pageLimit = *options_.pages;
  if (options_.dedup) options.dedup = true;
  if (options_.visitSites) options.visitSites = true;
  if (options_.mark) options.marks[static_cast<std::size_t>(options.kind)] = *options_.mark;
  // The command line's line, else the line a crash of this file's last run
  // left, else the line its last run saved; one past the end starts again
  // at the first.
  const std::int32_t startLine =
      options_.startLine.value_or(recovered.value_or(resume_.LineFor(keywordFileKey_).value_or(1)));
  const int lineCount = static_cast<int>(keywords.lines.size());
  // A wrong guess of the file's encoding shows here, before any request.
  const std::string firstKeyword = keywords.lines.empty() ? "" : GbkToUtf8(keywords.lines[0]);
  lines_ = std::move(keywords.lines);
  SearchRun& run = Run();
  settings_.SetRun(&run);

  if (const std::optional<StartRefusal> refusal = run.CheckStart()) {
    SayError(GbkToUtf8(TextOfRefusal(*refusal).text));
    return kBatchFailed;
  }
  // One past the end starts again at the first: a nightly job searches its
  // whole list again, which is no error.
  const StartLineChoice choice = ChooseStartLine(startLine, lineCount);
  if (choice.pastTheEnd) {
    Say("上次已做完全部 " + std::to_string(lineCount) + " 行关键词，从第 1 行重新开始");
  }
  if (!run.Start(options, choice.line)) return kBatchFailed;
  firstLine_ = run.ResumeLine();
  keywordsTotal_ = std::max(0, lineCount - firstLine_ + 1);
  Say(std::string(DefaultEngineTable()[static_cast<int>(options.engine)].cliName) + " " +
      std::string(InfoOf(options.kind).cliName) + "：关键词 " + std::to_string(lineCount) +
      " 行，从第 " + std::to_string(firstLine_) + " 行开始；每页 " + std::to_string(options.speed) +
      " 秒，每个关键词最多 " + std::to_string(options.pageLimit) + " 页。");
  Say("关键词文件按 " + keywords.encoding + " 读取，第一行：" + firstKeyword);
  return std::nullopt;
}

// A run of this keyword file that a crash cut short comes back to this
// program only: its values go on into this run's list and --out, and the
// line of its last page is where this run starts.
std::optional<std::int32_t> BatchSession::RecoverCrashedRun() {
  const std::optional<UnfinishedRun> crashed = wiring_->TakeCrashedRun();
  if (!crashed) return std::nullopt;
  const std::int32_t line = wiring_->Recover(*crashed);
  Say("上次运行意外中断：恢复已采集的 " + std::to_string(crashed->items.size()) + " 条，从第 " +
      std::to_string(line) + " 行继续。");
  return line;
}

bool BatchSession::SaveResumeLine() {
  const std::optional<std::string> failure =
      resume_.Save(keywordFileKey_, options_.keywords, Run().ResumeLine());
  if (failure) SayError(*failure);
  return !failure;
}

bool BatchSession::SaveState() {
  return SaveResumeLine();
}

void BatchSession::RunEnded(const RunEnd& end) {
  runEnded_ = true;
  // What follows the closing save in the run only concerns a window, so the
  // session ends from the event loop.
  if (finished_) return;
  stateSaved_ = end.saved;
  finishTimer_->SetEnabled(true);
}

void BatchSession::PageDone(const HarvestedPage& page, bool keywordDone) {
  const PageSource& source = *page.source;
  if (page.outcome == PageOutcome::Wall) return;  // the pause says it
  if (page.outcome == PageOutcome::Failed) {
    Say("第 " + std::to_string(source.keywordLine) + " 行「" + GbkToUtf8(source.keyword) + "」第 " +
        std::to_string(source.page) + " 页 " + std::to_string(SearchRun::kPageTries) +
        " 次都没有载入：跳过这个关键词，稍后请再搜索一次。");
    return;
  }
  RunProgress progress;
  progress.keywordsTotal = keywordsTotal_;
  progress.keywordLine = source.keywordLine;
  progress.keywordsDone =
      std::clamp(source.keywordLine - firstLine_ + (keywordDone ? 1 : 0), 0, keywordsTotal_);
  progress.keywordDone = keywordDone;
  progress.keyword = GbkToUtf8(source.keyword);
  progress.page = source.page;
  progress.pageLimit = Run().Options().pageLimit;
  progress.pageValues = page.values.size();
  progress.found = Run().BuyerCounter();
  progress.elapsedMs = env_.nowMs() - startMs_;
  progress.sites = lastProgress_.sites;
  lastProgress_ = progress;
  printer_.Progress(progress);
}

void BatchSession::SitesProgressed(const SiteProgress& sites) {
  const bool siteDone =
      !lastProgress_.sites || lastProgress_.sites->SitesHandled() != sites.SitesHandled();
  lastProgress_.sites = sites;
  // A line for every site done, once a page has given the line its keyword.
  if (!siteDone || lastProgress_.keywordsTotal == 0) return;
  lastProgress_.found = Run().BuyerCounter();
  lastProgress_.elapsedMs = env_.nowMs() - startMs_;
  printer_.Progress(lastProgress_);
}

void BatchSession::Paused(PauseReason reason, const std::string&) {
  if (reason == PauseReason::Verification) {
    OnVerificationPage();
    return;
  }
  if (ending_ != Ending::None) return;
  // The run asks again by itself, waiting longer each time; the session
  // only decides when to give up.
  Say("网络不通：连续几个关键词的页面都没有载入，网络恢复后自动继续；最多等待 " +
      WaitText(LongestRetryMs(options_.maxWaitMinutes)) + "。");
  networkTimer_->SetEnabled(false);
  networkTimer_->SetInterval(static_cast<int>(LongestRetryMs(options_.maxWaitMinutes)));
  networkTimer_->SetEnabled(true);
}

void BatchSession::OnNetworkTimer() {
  networkTimer_->SetEnabled(false);
  if (Run().Pause() != PauseReason::NetworkDown || ending_ != Ending::None) return;
  Say("网络仍不通：保存后退出。");
  StopSoon(Ending::NetworkDown);
}

void BatchSession::OnVerificationPage() {
  if (ending_ != Ending::None) return;
  if (options_.onVerification == VerificationPolicy::Stop) {
    Say("检测到验证页面：保存后退出。");
    StopSoon(Ending::Verification);
    return;
  }
  const long long longest = LongestRetryMs(options_.maxWaitMinutes);
  retryWaitMs_ = std::min(env_.firstRetryMs, longest);
  lastRetryWasLongest_ = false;
  Say("检测到验证页面：" + WaitText(retryWaitMs_) + "后重试。");
  retryTimer_->SetInterval(static_cast<int>(retryWaitMs_));
  retryTimer_->SetEnabled(true);
}

void BatchSession::OnRetryTimer() {
  retryTimer_->SetEnabled(false);
  if (!Run().Paused() || ending_ != Ending::None) return;  // the engine let the run on
  if (lastRetryWasLongest_) {
    Say("验证页面仍未消失：保存后退出。");
    StopSoon(Ending::Verification);
    return;
  }
  const long long longest = LongestRetryMs(options_.maxWaitMinutes);
  lastRetryWasLongest_ = retryWaitMs_ >= longest;
  retryWaitMs_ = std::min(retryWaitMs_ * 2, longest);
  Say("重试验证页面前的页面；仍是验证页面时，" + WaitText(retryWaitMs_) + "后再试。");
  // The run looks at the browser every second while it is paused: an
  // ordinary page of the engine lets it go on from the page it was on.
  try {
    env_.browser.Navigate(Run().PageAddress());
  } catch (...) {
  }
  const long long next =
      lastRetryWasLongest_ ? std::max(retryWaitMs_, kLastRetrySettleMs) : retryWaitMs_;
  retryTimer_->SetInterval(static_cast<int>(next));
  retryTimer_->SetEnabled(true);
}

void BatchSession::StopSoon(Ending ending) {
  ending_ = ending;
  retryTimer_->SetEnabled(false);
  networkTimer_->SetEnabled(false);
  // Not from inside the run's own call: it ends the run at once when the
  // run is waiting (a pause, the rest between keywords), else after the
  // page in hand.
  stopTimer_->SetEnabled(true);
}

void BatchSession::Interrupt(int signal) {
  if (finished_) return;
  if (ending_ != Ending::Signal) {
    signal_ = signal;
    Say("收到中断信号：完成当前页面后保存并退出（再按一次 Ctrl-C 立即退出）。");
    StopSoon(Ending::Signal);
    return;
  }
  signal_ = signal;
  Say("再次收到中断信号：立即保存并退出。");
  // The store's run ends as a stopped one; the page in hand is not taken.
  if (!runEnded_) wiring_->Recorder().RunEnded(RunOutcome::Stopped);
  stateSaved_ = SaveResumeLine();
  Finish();
}

// How long the end of a run waits for a store another program holds.
constexpr long long kStoreSettleMs = 30 * 1000;

void BatchSession::Finish() {
  if (finished_) return;
  finished_ = true;
  for (RunTimer* timer :
       {retryTimer_.get(), networkTimer_.get(), stopTimer_.get(), finishTimer_.get()}) {
    timer->SetEnabled(false);
  }
  printer_.Finish();
  bool failed = !stateSaved_;
  // Pages a busy store could not take yet go in now; an interrupt does not
  // wait for them. A run the store did not get whole is no success.
  if (!wiring_->Recorder().Settle(signal_ != 0 ? 0 : kStoreSettleMs)) failed = true;
  if (options_.out) {
    const ExportOutcome outcome =
        WriteExport(options_.format, *options_.out, BuyerListExportSource(Run().Buyers()));
    if (outcome.ok()) {
      Say("已写入 " + std::to_string(outcome.rows) + " 条：" + options_.out->string());
    } else {
      SayError(outcome.error);
      failed = true;
    }
  }
  const std::string note = GbkToUtf8(wiring_->Recorder().EndNote());
  const RunSummary summary = Run().Summary();
  Say(RunSummaryText(summary) + "，用时 " + ClockText(env_.nowMs() - startMs_) + note + "。");
  int status = 0;
  if (failed) {
    status = kBatchFailed;
  } else if (ending_ == Ending::Signal) {
    status = kBatchSignalBase + signal_;
  } else if (ending_ == Ending::Verification) {
    status = kBatchVerificationStop;
  } else if (ending_ == Ending::NetworkDown) {
    status = kBatchNetworkDown;
  } else if (!summary.EveryKeywordDone()) {
    status = kBatchKeywordsFailed;
  }
  if (env_.finished) env_.finished(status);
}

}  // namespace brivano
