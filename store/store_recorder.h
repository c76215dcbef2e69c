// The run's recorder over the harvest store: every page's accepted values go
// into "brivano.db" in one transaction, 跨次去重 holds back values earlier runs
// harvested, and 号码校验 holds back values that are no valid contact. It
// also keeps which sites the runs visited.
//
// A store that is busy (another program holds its lock) or full for a while
// is asked again at every page: what could not be written waits in memory and
// goes in, in order, once the store answers, for up to `patience`. A store
// that cannot be used at all, or stays away longer, is reported and the run
// and the buyer list go on without it; Lost() then says that pages of the
// run are missing from it. A run's row is always ended: an ending the store
// would not take is kept beside it ("brivano.db.endings") and written by the
// next program that opens it, so that a run no crash cut short is never
// offered back as one.
#pragma once

#include <cstddef>
#include <deque>
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
  using Clock = std::function<long long()>;  // steady milliseconds
  static constexpr long long kDefaultPatienceMs = 10 * 60 * 1000;
  // `program` and `source` are kept with every run it records (RunOrigin).
  StoreRecorder(std::filesystem::path storePath, Report report, std::string program = "brivano",
                std::string source = {}, Clock nowMs = {},
                long long patienceMs = kDefaultPatienceMs);
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
  // Pages of a run that the store never took, because it stayed away.
  bool Lost() const { return lost_; }
  // Pages waiting for a busy store.
  std::size_t Waiting() const { return pending_.size(); }
  // Writes what waits, asking the store again for up to `waitMs` (blocking:
  // at the end of a program's run); what is still waiting then is given up.
  // False when pages of the last run never reached the store.
  bool Settle(long long waitMs);

  // Told of every page once the store holds it (tests that kill the
  // program watch it).
  std::function<void(const HarvestedPage&)> onCommitted;

 private:
  HarvestStore* Store();
  // Writes what waits: the run's row, its pages in order, its ending.
  void Flush();
  // The store failed: waits while it may come back, else gives it up.
  void Away(int sqliteCode, const std::string& message);
  void GiveUp(const std::string& message);
  void Say(const std::string& message);
  void KeepEndingBeside(RunEnding ending);
  void WriteEndingsKeptBeside(HarvestStore& store);

  std::filesystem::path path_;
  Report report_;
  Clock nowMs_;
  long long patienceMs_;
  std::unique_ptr<HarvestStore> store_;
  bool reported_ = false;
  std::int64_t runId_ = 0;
  bool runOpen_ = false;  // a run is in hand, whether or not the store has its row
  std::deque<HarvestedPage> pending_;
  std::optional<RunEnding> ending_;  // the run ended; the store does not know yet
  std::optional<long long> awaySinceMs_;
  bool lost_ = false;
  bool givenUp_ = false;       // this run goes on without the store
  std::size_t unchecked_ = 0;  // let through without the cross-run check
  RunOptions options_;
  std::size_t dropped_ = 0;
  std::string program_;
  std::string source_;
};

}  // namespace brivano
