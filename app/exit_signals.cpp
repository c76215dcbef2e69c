#include "app/exit_signals.h"

#include <QApplication>
#include <csignal>

#include "app/main_window.h"
#include "app/signal_pipe.h"

#ifndef QT_NO_SESSIONMANAGER
#include <QSessionManager>
#endif

namespace brivano {

ExitSignals::ExitSignals(QApplication& application, MainWindow& window) : QObject(&application) {
  // Ends the main loop and every loop nested in it (an open modal box or
  // question returns as cancelled); the window is then destroyed, which
  // writes the keyword store and the settings.
  new SignalPipe(
      {SIGTERM, SIGHUP, SIGINT}, [](int) { QCoreApplication::exit(0); }, this);
#ifndef QT_NO_SESSIONMANAGER
  // The session may end without closing the window; its data are saved now.
  connect(&application, &QGuiApplication::commitDataRequest, this,
          [&window](QSessionManager&) { window.SaveAtExit(); });
#else
  (void)window;
#endif
}

}  // namespace brivano
