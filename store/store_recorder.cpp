#include "store/store_recorder.h"

#include <sqlite3.h>

#include <chrono>
#include <thread>

#include "base/local_time.h"
#include "base/text.h"
#include "base/text_lines.h"
#include "files/atomic_file.h"
#include "files/whole_file.h"
#include "store/contact_validation.h"

namespace brivano {
namespace {

constexpr RunEnding kRunEndings[] = {RunEnding::Finished, RunEnding::Stopped, RunEnding::Failed};

// Failures that pass: another program's lock, a full disk, a hiccup of the
// disk. Anything else (a damaged or read-only file) stays.
bool Passing(int sqliteCode) {
  switch (sqliteCode & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
    case SQLITE_FULL:
    case SQLITE_IOERR:
      return true;
    default:
      return false;
  }
}

long long SteadyNowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::filesystem::path EndingsPath(const std::filesystem::path& store) {
  std::filesystem::path path = store;
  path += ".endings";
  return path;
}

std::string Minutes(long long ms) {
  return std::to_string((ms + 59999) / 60000);
}

}  // namespace

StoreRecorder::StoreRecorder(std::filesystem::path storePath, Report report, std::string program,
                             std::string source, Clock nowMs, long long patienceMs)
    : path_(std::move(storePath)),
      report_(std::move(report)),
      nowMs_(nowMs ? std::move(nowMs) : Clock(SteadyNowMs)),
      patienceMs_(patienceMs),
      program_(std::move(program)),
      source_(std::move(source)) {}

StoreRecorder::~StoreRecorder() {
  // The front end that would show a report may be half gone by now; what
  // cannot be written is kept beside the store all the same.
  report_ = nullptr;
  // A run still going when the program closes ends here; a crash leaves it
  // open for the next start to find.
  if (runOpen_) RunEnded(RunOutcome::Stopped);
  Settle(0);
}

void StoreRecorder::Say(const std::string& message) {
  if (report_) report_(message);
}

HarvestStore* StoreRecorder::Store() {
  if (!store_) {
    StoreOpenResult opened = HarvestStore::Open(path_);
    if (!opened.store) throw StoreError(opened.sqliteCode, opened.error);
    store_ = std::move(opened.store);
    WriteEndingsKeptBeside(*store_);
  }
  return store_.get();
}

void StoreRecorder::Away(int sqliteCode, const std::string& message) {
  const long long now = nowMs_();
  if (!Passing(sqliteCode) || (awaySinceMs_ && now - *awaySinceMs_ >= patienceMs_)) {
    GiveUp(message);
    return;
  }
  if (awaySinceMs_) return;
  awaySinceMs_ = now;
  Say(message + "已采集的数据先留在内存中，数据库可用时再写入（最多等 " + Minutes(patienceMs_) +
      " 分钟）。");
}

void StoreRecorder::GiveUp(const std::string& message) {
  const bool lostPages = !pending_.empty();
  // The run in hand will not be in the store whole.
  if (runOpen_ || lostPages) lost_ = true;
  if (lostPages || awaySinceMs_) {
    Say(message + "本次运行不再写入数据库" +
        (lostPages ? "，未写入的 " + std::to_string(pending_.size()) + " 页只在买家列表中" : "") +
        "。");
  } else if (!reported_) {
    Say(message);
  }
  reported_ = true;
  givenUp_ = true;
  awaySinceMs_.reset();
  pending_.clear();
  // A store that holds the run's row keeps its lock open (no other program
  // takes the run for a crashed one while this one lives); one without is no
  // use.
  if (runId_ == 0) store_.reset();
  if (ending_) {
    if (runId_ != 0) KeepEndingBeside(*ending_);
    ending_.reset();
    runId_ = 0;
  }
}

void StoreRecorder::Flush() {
  if (givenUp_ || (!runOpen_ && !ending_ && pending_.empty())) return;
  try {
    HarvestStore* store = Store();
    if (runId_ == 0) {
      const std::string description = std::string("去重=") + (options_.dedup ? "1" : "0") +
                                      " 跨次去重=" + (options_.crossRunDedup ? "1" : "0") +
                                      " 号码校验=" + (options_.validate ? "1" : "0");
      runId_ = store->BeginRun({DefaultEngineTable()[static_cast<int>(options_.engine)].cliName,
                                options_.kind, description},
                               {program_, source_});
    }
    while (!pending_.empty()) {
      store->AddPage(runId_, pending_.front());
      const HarvestedPage done = std::move(pending_.front());
      pending_.pop_front();
      if (onCommitted) onCommitted(done);
    }
    if (ending_) {
      store->EndRun(runId_, *ending_);
      ending_.reset();
      runId_ = 0;
    }
    awaySinceMs_.reset();
  } catch (const StoreError& error) {
    Away(error.sqliteCode(), error.what());
  }
}

bool StoreRecorder::Settle(long long waitMs) {
  const long long until = nowMs_() + waitMs;
  for (;;) {
    Flush();
    if (givenUp_ || (pending_.empty() && !ending_)) break;
    if (nowMs_() >= until) {
      GiveUp(StoreErrorText(SQLITE_BUSY, path_));
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(250));
  }
  return !lost_;
}

void StoreRecorder::RunStarted(const RunOptions& options) {
  // What an earlier run left waiting goes in first, or is given up.
  if (!pending_.empty() || ending_) Settle(0);
  options_ = options;
  dropped_ = 0;
  unchecked_ = 0;
  lost_ = false;
  givenUp_ = false;
  awaySinceMs_.reset();
  runId_ = 0;
  runOpen_ = true;
  Flush();
}

bool StoreRecorder::Accepts(std::string_view value, ContactKind kind) {
  if (options_.validate && !PassesContactValidation(value, kind)) {
    ++dropped_;
    return false;
  }
  if (!options_.crossRunDedup || givenUp_) return true;
  if (runId_ == 0 || !store_) {
    ++unchecked_;  // the store is away: nothing to check against
    return true;
  }
  try {
    if (store_->HarvestedBefore(value, runId_)) return false;
  } catch (const StoreError& error) {
    ++unchecked_;
    Away(error.sqliteCode(), error.what());
  }
  return true;
}

void StoreRecorder::PageHarvested(const HarvestedPage& page) {
  if (!runOpen_ || givenUp_) return;
  pending_.push_back(page);
  Flush();
}

void StoreRecorder::RunEnded(RunOutcome outcome) {
  if (!runOpen_) return;
  runOpen_ = false;
  const RunEnding ending = kRunEndings[static_cast<int>(outcome)];
  if (givenUp_) {
    // The store was given up during the run: its row still waits for this.
    if (runId_ != 0) KeepEndingBeside(ending);
    runId_ = 0;
    return;
  }
  ending_ = ending;
  Flush();
}

std::string StoreRecorder::EndNote() const {
  std::string note;
  if (options_.validate && dropped_ > 0) {
    note += "（号码校验剔除" + std::to_string(dropped_) + "条）";
  }
  if (options_.crossRunDedup && unchecked_ > 0) {
    note += "（数据库不可用时跨次去重未核对" + std::to_string(unchecked_) + "条）";
  }
  return Gbk(note);
}

void StoreRecorder::KeepEndingBeside(RunEnding ending) {
  const std::filesystem::path path = EndingsPath(path_);
  const WholeFile kept = ReadWholeFile(path);
  std::string content = kept.ok() ? kept.bytes : std::string();
  content += std::to_string(runId_) + " " + std::string(RunEndingWord(ending)) + "\n";
  if (!WriteFileAtomically(path, content).ok()) {
    Say(StoreErrorText(SQLITE_CANTOPEN, path_) +
        "本次运行的结束未能记下，下次启动时会被当作意外中断。");
  }
}

void StoreRecorder::WriteEndingsKeptBeside(HarvestStore& store) {
  const std::filesystem::path path = EndingsPath(path_);
  std::error_code missing;
  if (!std::filesystem::exists(path, missing)) return;
  const WholeFile kept = ReadWholeFile(path);
  if (!kept.ok()) return;
  for (const std::string& line : SplitTextLines(kept.bytes)) {
    const std::size_t blank = line.find(' ');
    if (blank == std::string::npos) continue;
    const std::int64_t runId = std::atoll(line.substr(0, blank).c_str());
    const std::string word = line.substr(blank + 1);
    for (const RunEnding ending : kRunEndings) {
      if (word == RunEndingWord(ending) && runId > 0) store.EndRunIfOpen(runId, ending);
    }
  }
  std::filesystem::remove(path, missing);
}

bool StoreRecorder::VisitedWithin(const std::string& domain, int days) {
  if (!store_) return false;
  try {
    return store_->SiteVisitedWithin(domain, days, UtcNowIso8601());
  } catch (const StoreError& error) {
    Away(error.sqliteCode(), error.what());
    return false;
  }
}

void StoreRecorder::MarkVisited(const std::string& domain) {
  if (!store_) return;
  try {
    store_->MarkSiteVisited(domain, UtcNowIso8601());
  } catch (const StoreError& error) {
    Away(error.sqliteCode(), error.what());
  }
}

std::optional<UnfinishedRun> StoreRecorder::TakeUnfinishedRun() {
  // Nothing to look for before the first run has made the store.
  std::error_code missing;
  if (!store_ && !std::filesystem::exists(path_, missing)) return std::nullopt;
  try {
    HarvestStore* store = Store();
    store->EndCrashedRuns();
    return store->TakeInterruptedRun({program_, source_});
  } catch (const StoreError& error) {
    if (!reported_) Say(error.what());
    reported_ = true;
    store_.reset();
    return std::nullopt;
  }
}

}  // namespace brivano
