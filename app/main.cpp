// Brivano: harvests sales contacts from the result pages of search engines.
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QStandardPaths>

#include "app/exit_signals.h"
#include "app/main_window.h"

namespace {

// The browser pane's storage (cookies, cache) lies under the application
// name, which was once the window title; a folder of that name is moved to
// the plain one, so that nothing stored there is lost.
void MoveFormerBrowserStorage(const QString& formerName) {
  const QString appData = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  const QString former = QDir(appData).absoluteFilePath(QStringLiteral("../") + formerName);
  if (QDir(former).exists() && !QDir(appData).exists()) QDir().rename(former, appData);
}

}  // namespace

int main(int argc, char** argv) {
  // Chromium refuses to run its sandbox as root; only then is it turned off.
  if (::geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication application(argc, argv);
  // The name gives the folders of ~/.local/share and ~/.cache: a plain one.
  // Users see the title, which every window, box and the tray carry
  // themselves; it is not made Qt's display name, which X11 would append to
  // every window caption.
  QApplication::setApplicationName(QStringLiteral("brivano"));
  MoveFormerBrowserStorage(QStringLiteral("『Brivano』 V1.0"));
  // Lets desktops match the window to its .desktop entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("brivano"));
  QFont font(QStringLiteral("SimSun"), 9);
  font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"),
                    QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Noto Sans CJK SC")});
  QApplication::setFont(font);

  brivano::MainWindow form1;
  brivano::ExitSignals exitSignals(application, form1);
  form1.show();
  return QApplication::exec();
}
