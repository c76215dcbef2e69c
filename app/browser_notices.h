// What Chromium and QtWebEngine write to standard error, kept to what
// matters, for both programs that hold a browser.
#pragma once

namespace brivano {

// Before the application object: only fatal browser messages, and no GL
// summary. QT_LOGGING_RULES and a --log-level the user sets still win.
void QuietenBrowserNotices();

}  // namespace brivano
