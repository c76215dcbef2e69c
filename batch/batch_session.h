// A whole run of the desktop program without its window: the settings file
// gives the options the command line leaves open, a keyword file gives the
// keywords, and the run is wired as the window wires it. Where to go on it
// keeps per keyword file in a state of its own. Interrupts finish the page in
// hand; verification pages are waited out or end the run, as the user chose.
// Qt-free: the program gives it the real browser and timers, the tests fakes
// on a virtual clock.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "batch/batch_options.h"
#include "batch/progress_report.h"
#include "batch/resume_state.h"
#include "batch/run_wiring.h"
#include "batch/settings_copy.h"
#include "files/program_files.h"
#include "search/local_address.h"
#include "search/run_events.h"
#include "search/run_interfaces.h"

namespace brivano {

// brivano-run's exit statuses besides 0 (every keyword done) and the
// usage error 2.
inline constexpr int kBatchFailed = 1;
inline constexpr int kBatchVerificationStop = 3;
inline constexpr int kBatchKeywordsFailed = 4;  // the run ended, some keywords given up
inline constexpr int kBatchNetworkDown = 5;     // no page loaded for --max-wait
inline constexpr int kBatchSignalBase = 128;    // plus the signal's number

// The name its messages and its runs in the harvest store go by.
inline constexpr std::string_view kBatchProgramName = "brivano-run";

struct BatchEnvironment {
  PageBrowser& browser;
  TimerFactory& timers;
  ProgramFiles files;
  EngineTable engines = DefaultEngineTable();  // before engines.ini
  NetworkLookups network;
  // Empties the browser's history and cache; `done` runs once it can load.
  std::function<void(std::function<void()> done)> clearBrowserCache;
  std::function<void(std::string_view utf8)> writeError;  // standard error
  bool terminal = false;                                  // whether that is a terminal
  std::function<long long()> nowMs;                       // a steady clock
  std::function<void(int exitStatus)> finished;
  // The first wait at a verification page; it doubles up to --max-wait.
  long long firstRetryMs = 5 * 60 * 1000;
  std::function<int(int most)> randomSeconds;  // the run's; random when empty
  // Fetches the result sites' pages for 访问网站; none: no visits.
  PageFetcher* fetcher = nullptr;
};

class BatchSession : private RunHost, private RunListener {
 public:
  BatchSession(BatchOptions options, BatchEnvironment environment);
  ~BatchSession() override;
  BatchSession(const BatchSession&) = delete;
  BatchSession& operator=(const BatchSession&) = delete;

  // Reads the settings file, engines.ini and the keyword file and starts the
  // run; the exit status when it could not start.
  std::optional<int> Start();
  // SIGINT or SIGTERM: the first finishes the page in hand, then saves and
  // ends; the second saves and ends at once.
  void Interrupt(int signal);

  SearchRun& Run() { return wiring_->Run(); }
  bool Finished() const { return finished_; }

 private:
  enum class Ending { None, Signal, Verification, NetworkDown };

  // What the run asks of its host: the keyword file's lines, the line to go
  // on from, the cache cleaner and the rest between keywords.
  int KeywordLineCount() const override { return static_cast<int>(lines_.size()); }
  std::string KeywordLine(int index0) const override;
  bool SaveState() override;
  void ClearBrowserCache(std::function<void()> done) override;
  int CooldownSeconds() const override;
  // What the run announces.
  void PageDone(const HarvestedPage& page, bool keywordDone) override;
  void SitesProgressed(const SiteProgress& progress) override;
  void Paused(PauseReason reason, const std::string& message) override;
  void RunEnded(const RunEnd& end) override;

  void Say(std::string_view utf8Line);
  // "brivano-run：" and the message: what went wrong, as brivano-cli says it.
  void SayError(std::string_view utf8Message);
  bool SaveResumeLine();
  std::optional<std::int32_t> RecoverCrashedRun();
  void OnVerificationPage();
  void OnRetryTimer();
  void OnNetworkTimer();
  void StopSoon(Ending ending);
  void Finish();

  BatchOptions options_;
  BatchEnvironment env_;
  ProgressPrinter printer_;
  SettingsCopy settings_;
  std::unique_ptr<UserFeedback> feedback_;
  std::vector<std::string> lines_;  // the keyword file's (GBK)
  // Its state store reads the settings file, never writes it.
  std::unique_ptr<RunWiring> wiring_;
  BatchResumeState resume_;
  std::string keywordFileKey_;
  // One-shot timers of 1 ms: what they do runs from the event loop, after
  // the run's call that asked for it has returned.
  std::unique_ptr<RunTimer> retryTimer_;
  std::unique_ptr<RunTimer> networkTimer_;  // how long the network may stay down
  std::unique_ptr<RunTimer> stopTimer_;
  std::unique_ptr<RunTimer> finishTimer_;

  long long startMs_ = 0;
  // The latest progress line, which the site visits bring up to date.
  RunProgress lastProgress_;
  std::int32_t firstLine_ = 1;
  int keywordsTotal_ = 0;
  bool runEnded_ = false;
  bool stateSaved_ = true;
  bool finished_ = false;
  Ending ending_ = Ending::None;
  int signal_ = 0;
  long long retryWaitMs_ = 0;
  bool lastRetryWasLongest_ = false;
};

}  // namespace brivano
