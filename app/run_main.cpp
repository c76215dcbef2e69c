// brivano-run: the desktop program's search without its window, for
// scheduled and remote harvesting. The real browser runs on an offscreen
// platform; no display is needed.
#include <unistd.h>

#include <QApplication>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <span>

#include "app/browser_notices.h"
#include "app/qt_run_timer.h"
#include "app/run_supervisor.h"
#include "app/signal_pipe.h"
#include "app/site_fetcher.h"
#include "app/web_page_browser.h"
#include "base/error_text.h"
#include "base/terminal_text.h"
#include "base/version.h"
#include "batch/batch_session.h"

namespace {

// Standard error in the terminal's encoding, as brivano-cli writes.
void WriteError(std::string_view utf8) {
  static const brivano::TerminalEncoding terminal = brivano::TerminalEncodingOfLocale();
  std::string text;
  brivano::AppendUtf8ForTerminal(terminal, text, utf8);
  std::fwrite(text.data(), 1, text.size(), stderr);
  std::fflush(stderr);
}

// Standard error is the run's log: Qt's notes on the offscreen platform
// and the missing GPU would fill it at every start. Its errors stay.
void QtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) {
    WriteError(brivano::ErrorLine(brivano::kBatchProgramName, message.toStdString()) + "\n");
  }
}

// No one sees Chromium's error page here: a failed load is known from the
// load itself. Building that page in the sandboxed renderer also asks for
// the system's default font, and fontconfig, shut out of /etc/fonts there,
// wrote "Fontconfig error: Cannot load default config file" into the log of
// an ordinary user's run at every page that did not load. (As root there is
// no sandbox, and fontconfig finds its files.)
void WithoutErrorPages(QWebEnginePage* page) {
  page->settings()->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
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
    return PrintVersion(kBatchProgramName) ? 0 : 1;
  }
  if (!parsed.options) {
    WriteError(ErrorLine(kBatchProgramName, parsed.error) + "\n");
    std::fputs(kBatchUsage.data(), stderr);
    return 2;
  }

  if (const std::optional<int> status = RunInChildProcessGroup()) return *status;
  qInstallMessageHandler(QtMessages);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  // Chromium refuses to run its sandbox as root; only then is it turned off.
  if (::geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  QuietenBrowserNotices();
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
  WithoutErrorPages(view.page());
  QtTimerFactory timers;
  QtSiteFetcher sites(parsed.options->resolve);

  // The desktop program's files, wherever they lie for it.
  const ProgramFiles files = LocateProgramFiles();
  const auto started = std::chrono::steady_clock::now();
  BatchSession session(*parsed.options,
                       BatchEnvironment{
                           .browser = browser,
                           .timers = timers,
                           .files = files,
                           .engines = DefaultEngineTable(),
                           .network = {},
                           // A fresh page in a fresh profile: its settings start afresh too.
                           .clearBrowserCache =
                               [&](std::function<void()> done) {
                                 browser.StartAfresh([&view, done = std::move(done)] {
                                   WithoutErrorPages(view.page());
                                   done();
                                 });
                               },
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
                           .fetcher = &sites,
                       });
  // A closed terminal or ssh session (SIGHUP) ends the run as Ctrl-C does.
  SignalPipe interrupts({SIGINT, SIGTERM, SIGHUP},
                        [&session](int signal) { session.Interrupt(signal); });
  if (const std::optional<int> status = session.Start()) return *status;
  return QApplication::exec();
}
