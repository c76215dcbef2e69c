#include "store/store_recorder.h"

#include "base/local_time.h"
#include "base/text.h"
#include "store/contact_validation.h"

namespace brivano {

StoreRecorder::StoreRecorder(std::filesystem::path storePath, Report report, std::string program,
                             std::string source)
    : path_(std::move(storePath)),
      report_(std::move(report)),
      program_(std::move(program)),
      source_(std::move(source)) {}

StoreRecorder::~StoreRecorder() {
  // A run still going when the program closes ends here; a crash leaves it
  // open for the next start to find.
  if (runId_ != 0) RunEnded(RunOutcome::Stopped);
}

void StoreRecorder::Fail(const std::string& message) {
  store_.reset();
  runId_ = 0;
  if (!reported_ && report_) report_(message);
  reported_ = true;
}

HarvestStore* StoreRecorder::Store() {
  if (!store_) {
    StoreOpenResult opened = HarvestStore::Open(path_);
    if (!opened.store) {
      Fail(opened.error);
      return nullptr;
    }
    store_ = std::move(opened.store);
  }
  return store_.get();
}

void StoreRecorder::RunStarted(const RunOptions& options) {
  options_ = options;
  dropped_ = 0;
  runId_ = 0;
  HarvestStore* store = Store();
  if (store == nullptr) return;
  try {
    const std::string description = std::string("去重=") + (options.dedup ? "1" : "0") +
                                    " 跨次去重=" + (options.crossRunDedup ? "1" : "0") +
                                    " 号码校验=" + (options.validate ? "1" : "0");
    runId_ = store->BeginRun(
        {DefaultEngineTable()[static_cast<int>(options.engine)].cliName, options.kind, description},
        {program_, source_});
  } catch (const StoreError& error) {
    Fail(error.what());
  }
}

bool StoreRecorder::Accepts(std::string_view value, ContactKind kind) {
  if (options_.validate && !PassesContactValidation(value, kind)) {
    ++dropped_;
    return false;
  }
  if (options_.crossRunDedup && runId_ != 0) {
    try {
      if (store_->HarvestedBefore(value, runId_)) return false;
    } catch (const StoreError& error) {
      Fail(error.what());
    }
  }
  return true;
}

namespace {

constexpr RunEnding kRunEndings[] = {RunEnding::Finished, RunEnding::Stopped, RunEnding::Failed};

}  // namespace

void StoreRecorder::PageHarvested(const HarvestedPage& page) {
  if (runId_ == 0) return;
  try {
    store_->AddPage(runId_, page);
  } catch (const StoreError& error) {
    Fail(error.what());
    return;
  }
  if (onCommitted) onCommitted(page);
}

void StoreRecorder::RunEnded(RunOutcome outcome) {
  if (runId_ == 0 || !store_) return;
  try {
    store_->EndRun(runId_, kRunEndings[static_cast<int>(outcome)]);
  } catch (const StoreError& error) {
    Fail(error.what());
  }
  runId_ = 0;
}

std::string StoreRecorder::EndNote() const {
  if (!options_.validate || dropped_ == 0) return {};
  return Gbk("（号码校验剔除" + std::to_string(dropped_) + "条）");
}

bool StoreRecorder::VisitedWithin(const std::string& domain, int days) {
  if (!store_) return false;
  try {
    return store_->SiteVisitedWithin(domain, days, UtcNowIso8601());
  } catch (const StoreError& error) {
    Fail(error.what());
    return false;
  }
}

void StoreRecorder::MarkVisited(const std::string& domain) {
  if (!store_) return;
  try {
    store_->MarkSiteVisited(domain, UtcNowIso8601());
  } catch (const StoreError& error) {
    Fail(error.what());
  }
}

std::optional<UnfinishedRun> StoreRecorder::TakeUnfinishedRun() {
  // Nothing to look for before the first run has made the store.
  std::error_code missing;
  if (!store_ && !std::filesystem::exists(path_, missing)) return std::nullopt;
  HarvestStore* store = Store();
  if (store == nullptr) return std::nullopt;
  try {
    store->EndCrashedRuns();
    return store->TakeInterruptedRun({program_, source_});
  } catch (const StoreError& error) {
    Fail(error.what());
    return std::nullopt;
  }
}

}  // namespace brivano
