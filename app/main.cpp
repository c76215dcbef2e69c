// Brivano: harvests sales contacts from the result pages of search engines.
#include <unistd.h>

#include <QApplication>
#include <QFont>

#include "app/tform1.h"

int main(int argc, char** argv) {
  // Chromium refuses to run its sandbox as root; only then is it turned off.
  if (::geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("『Brivano』 V1.0"));
  // Lets desktops match the window to its .desktop entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("brivano"));
  QFont font(QStringLiteral("SimSun"), 9);
  font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"),
                    QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Noto Sans CJK SC")});
  QApplication::setFont(font);

  brivano::TForm1 form1;
  form1.show();
  return QApplication::exec();
}
