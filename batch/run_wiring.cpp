#include "batch/run_wiring.h"

#include <algorithm>

#include "files/run_tuning.h"

namespace brivano {
namespace {

EngineTable EnginesOf(const RunParts& parts, std::string& problem) {
  EngineOverrides engines = LoadEngineOverrides(parts.engines, parts.files.folder);
  problem = std::move(engines.problem);
  return std::move(engines.table);
}

}  // namespace

RunWiring::RunWiring(RunParts parts)
    : recorder_(parts.files.StorePath(), parts.reportStore, parts.program),
      run_(RunEnvironment{.host = parts.host,
                          .browser = parts.browser,
                          .timers = parts.timers,
                          .engines = EnginesOf(parts, engineProblem_),
                          .network = parts.network,
                          .recorder = &recorder_,
                          .randomSeconds = parts.randomSeconds,
                          .utcNow = {}}),
      state_(parts.files, parts.settings, run_.Buyers(), parts.feedback),
      visits_(SiteVisitEnvironment{.run = run_,
                                   .fetcher = parts.fetcher,
                                   .timers = parts.timers,
                                   .nowMs = parts.nowMs,
                                   .history = &recorder_,
                                   .tuning = [this] { return state_.Visits(); }}) {
  run_.SetCompanion(&visits_);
}

RunWiring::~RunWiring() = default;

std::optional<UnfinishedRun> RunWiring::TakeCrashedRun() {
  std::optional<UnfinishedRun> crashed = recorder_.TakeUnfinishedRun();
  if (!crashed || (crashed->items.empty() && crashed->keywordLine == 0)) return std::nullopt;
  return crashed;
}

std::int32_t RunWiring::Recover(const UnfinishedRun& crashed) {
  for (const ContactValue& item : crashed.items) run_.Buyers().Append(item);
  run_.KeepListForNextRun();
  return std::max(crashed.keywordLine, 1);
}

}  // namespace brivano
