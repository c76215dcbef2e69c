// The main window as the GUI tests build it: engines on the local server,
// dialogs answered from a script, files in a temporary folder, and a network
// check that passes.
#pragma once

#include <string>

#include "app/main_window.h"
#include "testing/cli_runner.h"
#include "testing/gui/engine_server.h"
#include "testing/gui/scripted_dialogs.h"

namespace brivano::testing {

inline MainWindowOptions TestWindowOptions(const EngineServer& server, ScriptedDialogs& dialogs,
                                           const TempDir& folder, double timerScale = 0.25) {
  MainWindowOptions options;
  options.engines = EngineTableAt(server.BaseUrl().toStdString());
  options.timerScale = timerScale;
  options.dialogs = &dialogs;
  options.network.localAddress = [] { return std::string("10.0.0.1"); };
  options.files = ProgramFiles{folder.path(), "brivano.ini"};
  return options;
}

}  // namespace brivano::testing
