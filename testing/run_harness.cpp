#include "testing/run_harness.h"

#include "base/text.h"
#include "search/result_address.h"

namespace brivano::testing {

void RunHarness::Rebuild() {
  run.reset();
  run = std::make_unique<SearchRun>(
      RunEnvironment{.host = window,
                     .browser = browser,
                     .timers = clock,
                     .engines = engines,
                     .network = {[this] { return localAddress; }, [this] { return interfaces; }},
                     .recorder = recorder,
                     .randomSeconds = [this](int most) { return std::min(most, cooldownPick); },
                     .utcNow = {}});
  run->AddListener(window);
}

bool RunHarness::Start() {
  return StartFromWindow(*run, window.Options(), window);
}

std::string RunHarness::Address(Engine engine, std::string_view keyword, int page,
                                std::string_view mark) const {
  const EngineRow& row = engines[static_cast<int>(engine)];
  return ResultPageAddress(row, BuildQuery(Utf8ToGbk(keyword), Utf8ToGbk(mark)), page);
}

std::string RunHarness::NextPageLine(Engine engine) {
  return engine == Engine::Baidu ? "下一页>" : "下一页";
}

bool RunHarness::RunToEnd(long long limitMs) {
  return clock.AdvanceUntil(
      [this] {
        return window.searchEnabled && !run->PageTimer().Enabled() && !run->Watchdog().Enabled();
      },
      limitMs, 250);
}

}  // namespace brivano::testing
