// A main window for the exit-signal tests to end from outside:
//   brivano-exit-signal-child FOLDER idle|run TEXT
// builds the window with its files in FOLDER and the program's signal
// handling, starts a run when asked, types TEXT into the keyword box, says
// "ready" on standard output and waits for a signal. The exit question is
// answered 否: only a close without it can end the program.
#include <QApplication>
#include <QPlainTextEdit>
#include <QToolButton>
#include <cstdio>
#include <cstring>

#include "app/exit_signals.h"
#include "app/tform1.h"
#include "engine_server.h"
#include "qt_application.h"
#include "scripted_dialogs.h"

int main(int argc, char** argv) {
  using namespace brivano;
  if (argc != 4) {
    std::fputs("usage: brivano-exit-signal-child FOLDER idle|run TEXT\n", stderr);
    return 2;
  }
  testing::EnsureQtApplication();
  testing::EngineServer server;
  testing::ScriptedDialogs dialogs;
  dialogs.confirmExit = false;
  TForm1Options options;
  options.engines = EngineTableAt(server.BaseUrl().toStdString());
  options.timerScale = 0.25;
  options.dialogs = &dialogs;
  options.network.localAddress = [] { return std::string("10.0.0.1"); };
  options.files = ProgramFiles{argv[1], "brivano.ini"};
  TForm1 form(options);
  ExitSignals exitSignals(*qApp, form);
  form.show();
  if (std::strcmp(argv[2], "run") == 0) {
    form.Memo2()->setPlainText(QStringLiteral("a\nb\nc"));
    form.SpeedButton(2)->click();
    if (form.SpeedButton(2)->isEnabled()) {
      std::fputs("the run did not start\n", stderr);
      return 3;
    }
  }
  form.Memo2()->setPlainText(QString::fromUtf8(argv[3]));
  std::fputs("ready\n", stdout);
  std::fflush(stdout);
  return QApplication::exec();
}
