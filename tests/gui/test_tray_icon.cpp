// The main window's icon in the notification area: the tip, the show/hide
// switch, the menu, minimising, and calling the user back during a pause.
#include <gtest/gtest.h>

#include <QLabel>
#include <QMenu>

#include "app/main_window.h"
#include "base/text.h"
#include "testing/cli_runner.h"
#include "testing/gui/engine_server.h"
#include "testing/gui/fake_tray_icon.h"
#include "testing/gui/qt_application.h"
#include "testing/gui/scripted_dialogs.h"
#include "testing/gui/test_window_options.h"
#include "testing/gui/widget_lookup.h"

namespace brivano::testing {
namespace {

class WindowTray : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { EnsureQtApplication(); }

  std::unique_ptr<MainWindow> Build() {
    MainWindowOptions options = TestWindowOptions(server, dialogs, folder, 1.0);
    options.trayIcon = &tray;
    auto form = std::make_unique<MainWindow>(options);
    form->show();
    return form;
  }

  bool ShowItemEnabled(MainWindow& form) { return Find<QAction>(form, "showAction")->isEnabled(); }
  bool HideItemEnabled(MainWindow& form) { return Find<QAction>(form, "hideAction")->isEnabled(); }

  TempDir folder;
  EngineServer server;
  ScriptedDialogs dialogs;
  FakeTrayIcon tray;
};

TEST_F(WindowTray, IconMenuAndTheShowHideSwitch) {
  auto form = Build();
  EXPECT_EQ(tray.log, QStringList{QStringLiteral("show:『Brivano』 V1.0")});
  EXPECT_EQ(tray.Hint(), Utf8ToGbk("『Brivano』 V1.0"));
  const char* texts[] = {"显示主程序(&S)",   "最小化显示(&M)", "与我们联系(&L)",
                         "访问软件官网(&V)", "关于本软件(&A)", "",
                         "退 出(&Exit)"};
  const QList<QAction*> items = Find<QMenu>(*form, "trayMenu")->actions();
  ASSERT_EQ(items.size(), 7);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(items[i]->text(), QString::fromUtf8(texts[i]));
  EXPECT_TRUE(items[5]->isSeparator());
  EXPECT_FALSE(ShowItemEnabled(*form));
  EXPECT_TRUE(HideItemEnabled(*form));

  // A click while shown changes nothing.
  tray.OnActivated(QSystemTrayIcon::Trigger);
  EXPECT_TRUE(form->isVisible());
  EXPECT_FALSE(ShowItemEnabled(*form));

  // The menu's 最小化显示 hides the window, the icon stays.
  Find<QAction>(*form, "hideAction")->trigger();
  EXPECT_FALSE(form->isVisible());
  EXPECT_TRUE(tray.Shown());
  EXPECT_TRUE(ShowItemEnabled(*form));
  EXPECT_FALSE(HideItemEnabled(*form));

  // A double click arrives as a click and a double click: shown once.
  int shows = 0;
  QObject::connect(&tray, &TrayIcon::clicked, [&] { ++shows; });
  tray.OnActivated(QSystemTrayIcon::Trigger);
  tray.OnActivated(QSystemTrayIcon::DoubleClick);
  EXPECT_TRUE(form->isVisible());
  EXPECT_FALSE(ShowItemEnabled(*form));
  EXPECT_EQ(shows, 1);

  // The menu's 退 出 asks the same question as the window's.
  dialogs.confirmExit = false;
  Find<QAction>(*form, "quitAction")->trigger();
  EXPECT_EQ(dialogs.shown.back(), QStringLiteral("confirm-exit"));
  form.reset();
  EXPECT_FALSE(tray.Shown());  // the icon leaves with the window
}

TEST_F(WindowTray, HintIsCutTo63Bytes) {
  const std::string hint = Utf8ToGbk(std::string(60, 'a') + "深圳旅行社");
  tray.Show(QIcon(), hint, nullptr);
  EXPECT_EQ(tray.Hint(), hint.substr(0, 63));
}

TEST_F(WindowTray, MinimisingHidesOnlyWhereThereIsATray) {
  auto form = Build();
  form->showMinimized();
  EXPECT_TRUE(WaitUntil([&] { return !form->isVisible(); }, 2000));
  EXPECT_TRUE(ShowItemEnabled(*form));
  form->ShowFromTray();
  EXPECT_TRUE(form->isVisible());
  EXPECT_FALSE(form->isMinimized());

  tray.available = false;  // no notification area: an ordinary minimise
  form->showMinimized();
  Pump(100);
  EXPECT_TRUE(form->isVisible());
  EXPECT_FALSE(ShowItemEnabled(*form));
}

TEST_F(WindowTray, AVerificationPauseCallsTheUserBackFromTheTray) {
  // A damaged engines.ini is said once on the status bar; the run works on.
  folder.Write("engines.ini", "[baidu]\nnextpage\n");
  auto form = Build();
  EXPECT_EQ(Find<QLabel>(*form, "messagePanel")->text(),
            QStringLiteral("engines.ini 第2行有误，已改用内置的搜索引擎设置"));
  const std::string message = Utf8ToGbk("检测到验证页面");
  form->Controls().Paused(PauseReason::Verification,
                          message);  // shown: the taskbar entry alone asks
  EXPECT_FALSE(tray.log.join(' ').contains(QStringLiteral("message")));
  form->HideToTray();
  form->Controls().Paused(PauseReason::Verification, message);
  EXPECT_TRUE(tray.log.contains(QStringLiteral("message:『Brivano』 V1.0|检测到验证页面")))
      << tray.log.join(' ').toStdString();
}

}  // namespace
}  // namespace brivano::testing
