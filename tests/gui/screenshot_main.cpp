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

#include "app/tform1.h"
#include "engine_server.h"
#include "qt_application.h"
#include "scripted_dialogs.h"
#include "support/cli_runner.h"
#include "test_window_options.h"

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
  TForm1Options options = TestWindowOptions(server, dialogs, folder);
  TForm1 form(options);
  form.show();
  form.SpinEdit1()->setValue(3);
  form.SpinEdit2()->setValue(2);
  form.N2Click();
  WaitUntil([&] { return form.StatusPanel(8)->text() == QStringLiteral("搜索已经结束！"); }, 60000);
  Pump(500);
  const QPixmap picture = form.screen()->grabWindow(form.winId());
  const bool saved = picture.save(QString::fromLocal8Bit(argv[1]));
  dialogs.confirmExit = true;
  form.close();
  return saved ? 0 : 1;
}
