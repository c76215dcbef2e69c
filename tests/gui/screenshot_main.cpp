// brivano-screenshot FILE.png [WIDTHxHEIGHT]: the main window after a short
// run against the local engine server, as a picture for the README; at the
// size given, else at its first-start size. Run it on a display
// (scripts/screenshot.sh uses Xvfb) so that the browser pane is drawn too.
#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QSpinBox>
#include <QWindow>
#include <cstdio>
#include <optional>

#include "app/chinese_translations.h"
#include "app/main_window.h"
#include "testing/cli_runner.h"
#include "testing/gui/engine_server.h"
#include "testing/gui/qt_application.h"
#include "testing/gui/scripted_dialogs.h"
#include "testing/gui/test_window_options.h"
#include "testing/gui/widget_lookup.h"

namespace {

// "1280x800"; nothing for anything else.
std::optional<QSize> ParseSize(const char* text) {
  const QStringList parts = QString::fromLatin1(text).split(QLatin1Char('x'));
  bool wide = false;
  bool high = false;
  if (parts.size() != 2) return std::nullopt;
  const QSize size(parts[0].toInt(&wide), parts[1].toInt(&high));
  if (!wide || !high || size.isEmpty()) return std::nullopt;
  return size;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<QSize> size = argc == 3 ? ParseSize(argv[2]) : std::nullopt;
  if (argc < 2 || argc > 3 || (argc == 3 && !size)) {
    std::fputs("usage: brivano-screenshot FILE.png [WIDTHxHEIGHT]\n", stderr);
    return 2;
  }
  if (::geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication application(argc, argv);
  brivano::InstallChineseTranslations(application);
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
  if (size) {
    // Off the screen, a part of the window would be no part of the picture.
    form.resize(*size);
    form.move(0, 0);
  }
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
