// A whole run on the virtual clock: fake window, fake browser, engine table
// pointing at a test host.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "search/search_run.h"
#include "testing/fake_browser.h"
#include "testing/fake_window.h"
#include "testing/virtual_clock.h"

namespace brivano::testing {

inline constexpr std::string_view kTestHost = "http://engine.test";

struct RunHarness {
  VirtualClock clock;
  FakeBrowser browser{clock};
  FakeWindow window;
  std::string localAddress = "10.1.2.3";
  std::vector<NetworkInterface> interfaces;
  int cooldownPick = 0;  // the "random" wait between keywords, within the window's most
  HarvestRecorder* recorder = nullptr;  // set before Rebuild()
  EngineTable engines = EngineTableAt(kTestHost);
  std::unique_ptr<SearchRun> run;

  RunHarness() { Rebuild(); }
  void Rebuild();

  // The address the run requests for the n-th page of a keyword line (UTF-8).
  std::string Address(Engine engine, std::string_view keyword, int page,
                      std::string_view mark = "手机:") const;
  // A body line that shows a further page in the engine's form.
  static std::string NextPageLine(Engine engine);

  // 搜索 as the window gives it, with the window's options.
  bool Start();
  // The user changed a box during the run.
  void OptionsChanged() { run->ChangeOptions(window.Options()); }
  bool Running() const { return !window.searchEnabled; }
  // Advances until the run has ended (search enabled again and both timers
  // off) or `limitMs` has passed.
  bool RunToEnd(long long limitMs = 3600 * 1000);
};

}  // namespace brivano::testing
