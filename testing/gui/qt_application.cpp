#include "testing/gui/qt_application.h"

#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

namespace brivano::testing {

void EnsureQtApplication() {
  if (QCoreApplication::instance() != nullptr) return;
  if (::geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  static int argc = 1;
  static char name[] = "brivano-gui-test";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
  if (done()) return true;
  QEventLoop loop;
  QTimer poll;
  poll.setInterval(20);
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (done()) loop.quit();
  });
  QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
  poll.start();
  loop.exec();
  return done();
}

void Pump(int milliseconds) {
  QEventLoop loop;
  QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace brivano::testing
