#include "app/exit_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

#include "app/main_window.h"

#ifndef QT_NO_SESSIONMANAGER
#include <QSessionManager>
#endif

namespace brivano {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

int signalPipe[2] = {-1, -1};

}  // namespace

ExitSignals::ExitSignals(QApplication& application, MainWindow& window) : QObject(&application) {
  if (signalPipe[0] < 0 && ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &ExitSignals::Received);
  struct sigaction action {};
  action.sa_handler = &ExitSignals::OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : kSignals) ::sigaction(signal, &action, nullptr);
#ifndef QT_NO_SESSIONMANAGER
  // The session may end without closing the window; its data are saved now.
  connect(&application, &QGuiApplication::commitDataRequest, this,
          [&window](QSessionManager&) { window.SaveKeywordStore(); });
#else
  (void)window;
#endif
}

ExitSignals::~ExitSignals() {
  for (const int signal : kSignals) std::signal(signal, SIG_DFL);
}

void ExitSignals::OnSignal(int signal) {
  const int savedErrno = errno;
  const char byte = static_cast<char>(signal);
  // A full pipe already holds a request to close: nothing is lost.
  [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
  errno = savedErrno;
}

void ExitSignals::Received() {
  char bytes[16];
  while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
  }
  // Ends the main loop and every loop nested in it (an open modal box or
  // question returns as cancelled); the window is then destroyed, which
  // writes the keyword store.
  QCoreApplication::exit(0);
}

}  // namespace brivano
