// brivano-screenshot FILE.png: the main window after a short run against the
// local engine server, as a picture for the README. Run it on a display
// (scripts/screenshot.sh uses Xvfb) so that the browser pane is drawn too.
#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QSpinBox>
#include <QWindow>
#include <cstdio>

#include "app/main_window.h"
#include "testing/cli_runner.h"
#include "testing/gui/engine_server.h"
#include "testing/gui/qt_application.h"
#include "testing/gui/scripted_dialogs.h"
#include "testing/gui/test_window_options.h"
#include "testing/gui/widget_lookup.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: brivano-screenshot FILE.png\n", stderr);
    return 2;
  }
  if (::geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication application(argc, argv);
  QFont font(QStringLiteral("SimSun"), 9);
  font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Zen Hei")});
  QApplication::setFont(font);

  using namespace brivano;
  using namespace brivano::testing;
  TempDir folder;
  EngineServer server;
  ScriptedDialogs dialogs;
  MainWindowOptions options = TestWindowOptions(server, dialogs, folder);
  MainWindow form(options);
  form.show();
  Find<QSpinBox>(form, "speedSpin")->setValue(3);
  Find<QSpinBox>(form, "pageLimitSpin")->setValue(2);
  form.StartRun();
  WaitUntil(
      [&] {
        return Find<QLabel>(form, "messagePanel")
            ->text()
            .startsWith(QStringLiteral("搜索已经结束！"));
      },
      60000);
  Pump(500);
  const QPixmap picture = form.screen()->grabWindow(form.winId());
  const bool saved = picture.save(QString::fromLocal8Bit(argv[1]));
  dialogs.confirmExit = true;
  form.close();
  return saved ? 0 : 1;
}
