#include "app/browser_notices.h"

#include <QByteArray>
#include <QLoggingCategory>
#include <QString>

namespace brivano {

// Chromium and QtWebEngine tell standard error about GL and the GPU on every
// start and page (a machine without a GPU draws in software, as it should),
// which buries the program's own messages; only a fatal error is kept. A
// load that fails shows in the status bar. QT_LOGGING_RULES and a
// --log-level the user sets still win.
void QuietenBrowserNotices() {
  const QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
  if (!flags.contains("--log-level")) {
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
            flags.isEmpty() ? QByteArray("--log-level=3") : flags + " --log-level=3");
  }
  // The environment's rules are read before main; these rank below them.
  QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
}

}  // namespace brivano
