// A whole run of the desktop program without its window: the settings file
// gives the options the command line leaves open, a keyword file gives the
// keywords, and the run and its recorder are the desktop program's own. Where
// to go on it keeps per keyword file in a state of its own. Interrupts finish the page in hand;
// verification pages are waited out or end the run, as the user chose. Qt-free: the program gives
// it the real browser and timers, the tests fakes on a virtual clock.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string_view>

#include "batch/batch_options.h"
#include "batch/progress_report.h"
#include "batch/resume_state.h"
#include "batch/unattended_window.h"
#include "files/program_files.h"
#include "files/settings_store.h"
#include "search/local_address.h"
#include "search/run_interfaces.h"
#include "search/search_run.h"
#include "store/store_recorder.h"

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
};

class BatchSession {
 public:
  BatchSession(BatchOptions options, BatchEnvironment environment);
  ~BatchSession();
  BatchSession(const BatchSession&) = delete;
  BatchSession& operator=(const BatchSession&) = delete;

  // Reads the settings file, engines.ini and the keyword file and starts the
  // run; the exit status when it could not start.
  std::optional<int> Start();
  // SIGINT or SIGTERM: the first finishes the page in hand, then saves and
  // ends; the second saves and ends at once.
  void Interrupt(int signal);

  SearchRun& Run() { return *run_; }
  bool Finished() const { return finished_; }

 private:
  class Recorder;
  enum class Ending { None, Signal, Verification, NetworkDown };

  void Say(std::string_view utf8Line);
  // "brivano-run：" and the message: what went wrong, as brivano-cli says it.
  void SayError(std::string_view utf8Message);
  bool SaveState();
  bool SaveResumeLine();
  std::optional<std::int32_t> RecoverCrashedRun();
  void OnPage(const HarvestedPage& page);
  void ReportPage();
  void OnPause(PauseReason reason);
  void OnVerificationPage();
  void OnRetryTimer();
  void OnNetworkTimer();
  void StopSoon(Ending ending);
  void Finish();

  BatchOptions options_;
  BatchEnvironment env_;
  ProgressPrinter printer_;
  SettingsCopy settings_;
  UnattendedWindow window_;
  std::unique_ptr<Recorder> recorder_;
  std::unique_ptr<SearchRun> run_;
  std::unique_ptr<UserFeedback> feedback_;
  std::unique_ptr<StateStore> store_;  // reads the settings file, never writes it
  BatchResumeState resume_;
  std::string keywordFileKey_;
  // One-shot timers of 1 ms: what they do runs from the event loop, after
  // the run's call that asked for it has returned.
  std::unique_ptr<RunTimer> retryTimer_;
  std::unique_ptr<RunTimer> networkTimer_;  // how long the network may stay down
  std::unique_ptr<RunTimer> stopTimer_;
  std::unique_ptr<RunTimer> finishTimer_;
  std::unique_ptr<RunTimer> progressTimer_;
  std::optional<HarvestedPage> pendingPage_;

  long long startMs_ = 0;
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
