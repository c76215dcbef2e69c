// The run's recorder over the harvest store: every page's accepted values go
// into "brivano.db" in one transaction, 跨次去重 holds back values earlier runs
// harvested, and 号码校验 holds back values that are no valid contact. It
// also keeps which sites the runs visited. A store that cannot be used is
// reported once; the run and the buyer list go on without it.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "search/harvest_recorder.h"
#include "store/harvest_store.h"
#include "visit/visit_history.h"

namespace brivano {

class StoreRecorder : public HarvestRecorder, public VisitHistory {
 public:
  using Report = std::function<void(const std::string& utf8Message)>;
  // `program` and `source` are kept with every run it records (RunOrigin).
  StoreRecorder(std::filesystem::path storePath, Report report, std::string program = "brivano",
                std::string source = {});
  ~StoreRecorder() override;

  void RunStarted(const RunOptions& options) override;
  std::int64_t RunId() const override { return runId_; }
  bool Accepts(std::string_view value, ContactKind kind) override;
  void PageHarvested(const HarvestedPage& page) override;
  void RunEnded(RunOutcome outcome) override;
  std::string EndNote() const override;

  // The store's visited sites on the clock of the run's own times; without a
  // store no site counts as visited, and none is kept.
  bool VisitedWithin(const std::string& domain, int days) override;
  void MarkVisited(const std::string& domain) override;

  // What the runs recorded from now on are made from.
  void SetSource(std::string source) { source_ = std::move(source); }
  // Ends every run a crash cut short (runs of live processes are left
  // alone), then returns the newest crashed run that this recorder's program
  // made from its source and that was never offered, with its items; it
  // counts as dealt with from then on, whatever the user answers.
  std::optional<UnfinishedRun> TakeUnfinishedRun();

  std::size_t Dropped() const { return dropped_; }

  // Told of every page once the store holds it (tests that kill the
  // program watch it).
  std::function<void(const HarvestedPage&)> onCommitted;

 private:
  HarvestStore* Store();
  void Fail(const std::string& message);

  std::filesystem::path path_;
  Report report_;
  std::unique_ptr<HarvestStore> store_;
  bool reported_ = false;
  std::int64_t runId_ = 0;
  RunOptions options_;
  std::size_t dropped_ = 0;
  std::string program_;
  std::string source_;
};

}  // namespace brivano
