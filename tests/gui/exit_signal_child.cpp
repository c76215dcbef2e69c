// A main window for the tests that end the program from outside:
//   brivano-exit-signal-child FOLDER idle|run|harvest TEXT
// builds the window with its files in FOLDER and the program's signal
// handling, starts a run when asked, types TEXT into the keyword box, says
// "ready" on standard output and waits for a signal. The exit question is
// answered 否: only a close without it can end the program. "harvest" runs
// over the keywords of TEXT and says "committed VALUE" for every value the
// harvest store holds, once it holds it.
#include <QApplication>
#include <QPlainTextEdit>
#include <QToolButton>
#include <cstdio>
#include <cstring>

#include "app/exit_signals.h"
#include "app/main_window.h"
#include "testing/gui/engine_server.h"
#include "testing/gui/qt_application.h"
#include "testing/gui/scripted_dialogs.h"
#include "testing/gui/widget_lookup.h"

int main(int argc, char** argv) {
  using namespace brivano;
  using brivano::testing::Find;
  if (argc != 4) {
    std::fputs("usage: brivano-exit-signal-child FOLDER idle|run|harvest TEXT\n", stderr);
    return 2;
  }
  brivano::testing::EnsureQtApplication();
  brivano::testing::EngineServer server;
  brivano::testing::ScriptedDialogs dialogs;
  dialogs.confirmExit = false;
  MainWindowOptions options;
  options.engines = EngineTableAt(server.BaseUrl().toStdString());
  options.timerScale = 0.25;
  options.dialogs = &dialogs;
  options.network.localAddress = [] { return std::string("10.0.0.1"); };
  options.files = ProgramFiles{argv[1], "brivano.ini"};
  MainWindow form(options);
  ExitSignals exitSignals(*qApp, form);
  form.show();
  if (std::strcmp(argv[2], "run") == 0) {
    Find<QPlainTextEdit>(form, "keywordEdit")->setPlainText(QStringLiteral("a\nb\nc"));
    Find<QToolButton>(form, "searchButton")->click();
    if (Find<QToolButton>(form, "searchButton")->isEnabled()) {
      std::fputs("the run did not start\n", stderr);
      return 3;
    }
  }
  if (std::strcmp(argv[2], "harvest") == 0) {
    form.Recorder().onCommitted = [](const HarvestedPage& page) {
      for (const ContactValue& value : page.values)
        std::printf("committed %s\n", value.value.c_str());
      std::fflush(stdout);
    };
    Find<QPlainTextEdit>(form, "keywordEdit")->setPlainText(QString::fromUtf8(argv[3]));
    Find<QToolButton>(form, "searchButton")->click();
  } else {
    Find<QPlainTextEdit>(form, "keywordEdit")->setPlainText(QString::fromUtf8(argv[3]));
  }
  std::fputs("ready\n", stdout);
  std::fflush(stdout);
  return QApplication::exec();
}
