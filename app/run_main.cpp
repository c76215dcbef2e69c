// brivano-run: the desktop program's search without its window, for
// scheduled and remote harvesting. The real browser runs on an offscreen
// platform; no display is needed.
#include <unistd.h>

#include <QApplication>
#include <QWebEngineView>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <span>

#include "app/qt_run_timer.h"
#include "app/run_supervisor.h"
#include "app/signal_pipe.h"
#include "app/web_page_browser.h"
#include "base/version.h"
#include "batch/batch_session.h"

namespace {

void WriteError(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

// Standard error is the run's log: Qt's notes on the offscreen platform
// and the missing GPU would fill it at every start. Its errors stay.
void QtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) WriteError(message.toStdString() + "\n");
}

}  // namespace

int main(int argc, char** argv) {
  using namespace brivano;
  const ParsedBatchOptions parsed =
      ParseBatchOptions(std::span<char* const>(argv + 1, static_cast<std::size_t>(argc - 1)));
  if (parsed.help) {
    std::fputs(kBatchUsage.data(), stdout);
    return 0;
  }
  if (parsed.version) {
    std::printf("brivano-run %.*s\n", static_cast<int>(kVersion.size()), kVersion.data());
    return 0;
  }
  if (!parsed.options) {
    std::fprintf(stderr, "brivano-run: %s\n%s", parsed.error.c_str(), kBatchUsage.data());
    return 2;
  }

  if (const std::optional<int> status = RunInChildProcessGroup()) return *status;
  qInstallMessageHandler(QtMessages);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // Chromium refuses to run its sandbox as root; only then is it turned off.
  if (::geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  int qtArgc = 1;
  QApplication application(qtArgc, argv);
  // Its own browser storage: the desktop program may be open meanwhile, and
  // Chromium does not share a profile between two processes.
  QApplication::setApplicationName(QStringLiteral("brivano-run"));

  QWebEngineView view;
  view.resize(1024, 768);
  view.show();
  WebPageBrowser browser(&view);
  QtTimerFactory timers;

  // The desktop program's files: its settings file beside it, or in the
  // user's configuration folder when it is installed.
  const ProgramFiles files =
      LocateProgramFiles(ExecutablePath().parent_path() / "brivano", UserConfigFolder());
  const auto started = std::chrono::steady_clock::now();
  BatchSession session(
      *parsed.options,
      BatchEnvironment{
          .browser = browser,
          .timers = timers,
          .files = files,
          .engines = DefaultEngineTable(),
          .network = {},
          .clearBrowserCache =
              [&](std::function<void()> done) { browser.StartAfresh(std::move(done)); },
          .writeError = WriteError,
          .terminal = ::isatty(STDERR_FILENO) == 1,
          .nowMs =
              [started] {
                return std::chrono::duration_cast<std::chrono::milliseconds>(
                           std::chrono::steady_clock::now() - started)
                    .count();
              },
          .finished = [](int status) { QCoreApplication::exit(status); },
          .firstRetryMs = 5 * 60 * 1000,
          .randomSeconds = {},
      });
  // A closed terminal or ssh session (SIGHUP) ends the run as Ctrl-C does.
  SignalPipe interrupts({SIGINT, SIGTERM, SIGHUP},
                        [&session](int signal) { session.Interrupt(signal); });
  if (const std::optional<int> status = session.Start()) return *status;
  return QApplication::exec();
}
