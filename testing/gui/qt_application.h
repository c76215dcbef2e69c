// One QApplication for a GUI test executable, set up as the program sets
// itself up (shared GL contexts for QtWebEngine, no Chromium sandbox as root).
#pragma once

#include <functional>

namespace brivano::testing {

void EnsureQtApplication();

// Runs the event loop until `done` holds or `timeoutMs` have passed. Unlike
// QTest::qWaitFor it never sleeps between checks: QtWebEngine's browser thread
// is the event loop, and sleeping starves the page loads.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs);
void Pump(int milliseconds);

}  // namespace brivano::testing
