// Brivano: harvests sales contacts from the result pages of search engines.
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QStandardPaths>

#include <cstdio>
#include <optional>
#include <string_view>

#include "app/browser_notices.h"
#include "app/chinese_translations.h"
#include "app/exit_signals.h"
#include "app/main_window.h"
#include "base/version.h"

namespace {

// The browser pane's storage (cookies, cache) lies under the application
// name, which was once the window title; a folder of that name is moved to
// the plain one, so that nothing stored there is lost.
void MoveFormerBrowserStorage(const QString& formerName) {
  const QString appData = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
  const QString former = QDir(appData).absoluteFilePath(QStringLiteral("../") + formerName);
  if (QDir(former).exists() && !QDir(appData).exists()) QDir().rename(former, appData);
}

// Before any window: --version and --help answer on the terminal, and
// without a display the program says what it needs instead of Qt's abort.
std::optional<int> AnswerOnTheTerminal(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--version") {
      return brivano::PrintVersion("brivano") ? 0 : 1;
    }
    if (arg == "--help" || arg == "-h") {
      std::fputs(
          "用法：brivano [--help] [--version]\n"
          "Brivano 的窗口程序：从关键词列表在搜索引擎结果页中采集联系方式。\n"
          "它需要图形界面（DISPLAY 或 WAYLAND_DISPLAY）；没有图形界面时请用\n"
          "brivano-run（无窗口搜索）或 brivano-cli。\n",
          stdout);
      return 0;
    }
  }
  const bool display = !qEnvironmentVariableIsEmpty("DISPLAY") ||
                       !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
                       !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
  if (!display) {
    std::fputs(
        "brivano：没有图形界面（DISPLAY 或 WAYLAND_DISPLAY 未设置）。请在桌面中启动，"
        "或用 scripts/run.sh（它会启动虚拟显示），或用 brivano-run 无窗口搜索。\n",
        stderr);
    return 1;
  }
  return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
  if (const std::optional<int> status = AnswerOnTheTerminal(argc, argv)) return *status;
  // Chromium refuses to run its sandbox as root; only then is it turned off.
  if (::geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  brivano::QuietenBrowserNotices();
  QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication application(argc, argv);
  brivano::InstallChineseTranslations(application);
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
