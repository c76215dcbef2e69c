// The tray icon component over a fake notification area, and the main
// window's use of it: the show/hide switch, the menu, minimising.
#include <gtest/gtest.h>

#include <QLabel>
#include <QMenu>

#include "app/tant_taskbar_icon.h"
#include "app/tform1.h"
#include "engine_server.h"
#include "extract/text.h"
#include "fake_tray_shell.h"
#include "qt_application.h"
#include "scripted_dialogs.h"
#include "support/cli_runner.h"
#include "test_window_options.h"

namespace brivano::testing {
namespace {

class TaskbarIcon : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { EnsureQtApplication(); }

  void Click(TantTaskbarIcon& icon, std::initializer_list<std::uint32_t> actions) {
    for (std::uint32_t action : actions) icon.WndProc(kTrayCallbackMessage, 0, action);
  }

  FakeTrayShell shell;
};

TEST_F(TaskbarIcon, ConstructionLoadingAndDestructionOrder) {
  {
    TantTaskbarIcon icon(shell, "antTaskbarIcon1");
    EXPECT_EQ(icon.IconID(), 0);
    EXPECT_EQ(icon.ImageIndex(), 0);
    EXPECT_FALSE(icon.Visible());
    EXPECT_TRUE(icon.Enabled());
    EXPECT_EQ(icon.NotifyFlags(), 5u);
    icon.SetVisible(true);  // stored only until the owner has loaded it
    EXPECT_EQ(shell.log, QStringList{"create"});
    icon.Loaded();
    EXPECT_TRUE(shell.shown);
    EXPECT_EQ(icon.NotifyFlags(), 7u);
  }
  EXPECT_EQ(shell.log, (QStringList{"create", "add 0 7 ", "delete 0 5 ", "destroy"}));
  EXPECT_FALSE(shell.shown);  // destruction removes the icon
}

TEST_F(TaskbarIcon, HintIsCutTo63Bytes) {
  TantTaskbarIcon icon(shell, "tray");
  icon.Loaded();
  icon.SetHint(std::string(70, 'h'));
  EXPECT_EQ(icon.Hint(), std::string(63, 'h'));
  EXPECT_EQ(shell.log.back(), "modify 0 5 " + QString(63, 'h'));  // refused before an add: harmless
  icon.SetHint("short");
  EXPECT_EQ(icon.Hint(), "short");
}

TEST_F(TaskbarIcon, IconIdOnShownAndHiddenIcons) {
  TantTaskbarIcon icon(shell, "tray");
  icon.Loaded();
  icon.SetIconID(3);  // hidden: only stored
  EXPECT_EQ(shell.log, QStringList{"create"});
  icon.SetVisible(true);
  shell.log.clear();
  int shows = 0, hides = 0;
  icon.OnShow = [&](TantTaskbarIcon&) { ++shows; };
  icon.OnHide = [&](TantTaskbarIcon&) { ++hides; };
  icon.SetIconID(4);  // shown: removed under 3, added under 4
  EXPECT_EQ(shell.log, (QStringList{"delete 3 5 ", "add 4 7 "}));
  EXPECT_EQ(shows, 1);
  EXPECT_EQ(hides, 1);
  icon.SetIconID(4);  // same value: nothing
  EXPECT_EQ(shell.log.size(), 2);
}

TEST_F(TaskbarIcon, MouseLogic) {
  TantTaskbarIcon icon(shell, "tray");
  QMenu menu;
  QStringList events;
  icon.OnMouseDown = [&](TantTaskbarIcon&, MouseButton b, ShiftState s, int x, int y) {
    events << QStringLiteral("down %1 %2 %3,%4")
                  .arg(b == MouseButton::Left ? "L" : "R")
                  .arg(s.left    ? "l"
                       : s.right ? "r"
                                 : "-")
                  .arg(x)
                  .arg(y);
  };
  icon.OnMouseUp = [&](TantTaskbarIcon&, MouseButton b, ShiftState, int, int) {
    events << QStringLiteral("up %1").arg(b == MouseButton::Left ? "L" : "R");
  };
  icon.OnClick = [&](TantTaskbarIcon&) { events << "click"; };
  icon.OnDblClick = [&](TantTaskbarIcon&) { events << "dblclick"; };
  icon.OnPopupMenu = [&](TantTaskbarIcon&) { events << "popup"; };

  Click(icon, {kWmLButtonDown, kWmLButtonUp});
  EXPECT_EQ(events, (QStringList{"down L l 100,200", "up L", "click"}));
  events.clear();
  // A double click: down, up, double click, up gives one click.
  Click(icon, {kWmLButtonDown, kWmLButtonUp, kWmLButtonDblClk, kWmLButtonUp});
  EXPECT_EQ(events, (QStringList{"down L l 100,200", "up L", "click", "dblclick", "up L"}));
  events.clear();
  // A right click without a menu: no popup event, both mouse events.
  Click(icon, {kWmRButtonDown, kWmRButtonUp});
  EXPECT_EQ(events, (QStringList{"down R r 100,200", "up R"}));
  EXPECT_FALSE(shell.log.contains("menu"));
  events.clear();
  icon.SetPopupMenu(&menu);
  Click(icon, {kWmRButtonDown, kWmRButtonUp});
  EXPECT_EQ(events, (QStringList{"down R r 100,200", "popup", "up R"}));
  EXPECT_TRUE(shell.log.contains("menu"));
  EXPECT_TRUE(shell.log.contains("null"));
  events.clear();
  // Other messages and other actions do nothing here.
  EXPECT_FALSE(icon.WndProc(0x0400, 0, kWmLButtonDown));
  Click(icon, {0x0200, 0x0207});
  EXPECT_TRUE(events.isEmpty());
  // Disabled: nothing at all.
  icon.SetEnabled(false);
  Click(icon, {kWmLButtonDown, kWmLButtonUp, kWmRButtonDown, kWmRButtonUp});
  EXPECT_TRUE(events.isEmpty());
}

TEST_F(TaskbarIcon, MenuGoneClearsTheReference) {
  TantTaskbarIcon icon(shell, "tray");
  auto* menu = new QMenu;
  icon.SetPopupMenu(menu);
  delete menu;
  EXPECT_EQ(icon.PopupMenu(), nullptr);
  icon.WndProc(kTrayCallbackMessage, 0, kWmRButtonUp);  // no crash, no menu
  EXPECT_FALSE(shell.log.contains("menu"));
}

TEST_F(TaskbarIcon, ShellFailuresBecomeNamedErrors) {
  TantTaskbarIcon icon(shell, "antTaskbarIcon1");
  icon.Loaded();
  shell.throwOnRequest = true;
  struct Case {
    std::function<void()> action;
    const char* message;
  } cases[] = {
      {[&] { icon.SetHint("x"); }, "antTaskbarIcon1.UpDate failed"},
      {[&] { icon.SetVisible(true); }, "antTaskbarIcon1.AddToTaskbar failed"},
  };
  for (const auto& c : cases) {
    try {
      c.action();
      ADD_FAILURE() << "no error for " << c.message;
    } catch (const EantTaskbarIcon& error) {
      EXPECT_STREQ(error.what(), c.message);
    }
  }
  shell.throwOnRequest = false;
  icon.Show();
  shell.throwOnRequest = true;
  try {
    icon.Hide();
    ADD_FAILURE() << "no error";
  } catch (const EantTaskbarIcon& error) {
    EXPECT_STREQ(error.what(), "antTaskbarIcon1.DeleteFromTaskbar failed");
  }
  shell.throwOnRequest = false;
}

// ---- The main window's tray ----------------------------------------------------

class WindowTray : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { EnsureQtApplication(); }

  std::unique_ptr<TForm1> Build() {
    TForm1Options options = TestWindowOptions(server, dialogs, folder, 1.0);
    options.trayShell = &shell;
    auto form = std::make_unique<TForm1>(options);
    form->show();
    return form;
  }

  bool ShowItemEnabled(TForm1& form) { return form.MenuItem(17)->isEnabled(); }
  bool HideItemEnabled(TForm1& form) { return form.MenuItem(18)->isEnabled(); }

  TempDir folder;
  EngineServer server;
  ScriptedDialogs dialogs;
  FakeTrayShell shell;
};

TEST_F(WindowTray, IconMenuAndTheShowHideSwitch) {
  auto form = Build();
  EXPECT_TRUE(shell.shown);
  EXPECT_EQ(form->AntTaskbarIcon1().Hint(), Utf8ToGbk("『Brivano』 V1.0"));
  const char* texts[] = {"显示主程序(&S)",   "最小化显示(&M)", "与我们联系(&L)",
                         "访问软件官网(&V)", "关于本软件(&A)", "",
                         "退 出(&Exit)"};
  for (int i = 0; i < 7; ++i)
    EXPECT_EQ(form->MenuItem(17 + i)->text(), QString::fromUtf8(texts[i]));
  EXPECT_TRUE(form->MenuItem(22)->isSeparator());
  EXPECT_FALSE(ShowItemEnabled(*form));
  EXPECT_TRUE(HideItemEnabled(*form));

  // A left click while shown changes nothing.
  form->AntTaskbarIcon1().WndProc(kTrayCallbackMessage, 0, kWmLButtonDown);
  form->AntTaskbarIcon1().WndProc(kTrayCallbackMessage, 0, kWmLButtonUp);
  EXPECT_TRUE(form->isVisible());
  EXPECT_FALSE(ShowItemEnabled(*form));

  // The menu's 最小化显示 hides the window, the icon stays.
  shell.chooseInMenu = QStringLiteral("最小化显示(&M)");
  form->AntTaskbarIcon1().WndProc(kTrayCallbackMessage, 0, kWmRButtonDown);
  form->AntTaskbarIcon1().WndProc(kTrayCallbackMessage, 0, kWmRButtonUp);
  EXPECT_FALSE(form->isVisible());
  EXPECT_TRUE(shell.shown);
  EXPECT_TRUE(ShowItemEnabled(*form));
  EXPECT_FALSE(HideItemEnabled(*form));

  // A double click shows it once.
  for (std::uint32_t action : {kWmLButtonDown, kWmLButtonUp, kWmLButtonDblClk, kWmLButtonUp}) {
    form->AntTaskbarIcon1().WndProc(kTrayCallbackMessage, 0, action);
  }
  EXPECT_TRUE(form->isVisible());
  EXPECT_FALSE(ShowItemEnabled(*form));

  // The tray's 退 出 asks the same question as the window's.
  form->N18Click();
  dialogs.confirmExit = false;
  shell.chooseInMenu = QStringLiteral("退 出(&Exit)");
  form->AntTaskbarIcon1().WndProc(kTrayCallbackMessage, 0, kWmRButtonUp);
  EXPECT_EQ(dialogs.shown.back(), QStringLiteral("confirm-exit"));
  form.reset();
  EXPECT_FALSE(shell.shown);  // the icon leaves with the window
}

TEST_F(WindowTray, MinimisingHidesOnlyWhereThereIsATray) {
  auto form = Build();
  form->showMinimized();
  EXPECT_TRUE(WaitUntil([&] { return !form->isVisible(); }, 2000));
  EXPECT_TRUE(ShowItemEnabled(*form));
  form->N17Click();
  EXPECT_TRUE(form->isVisible());
  EXPECT_FALSE(form->isMinimized());

  shell.available = false;  // no notification area: an ordinary minimise
  form->showMinimized();
  Pump(100);
  EXPECT_TRUE(form->isVisible());
  EXPECT_FALSE(ShowItemEnabled(*form));
}

TEST_F(WindowTray, AVerificationPauseCallsTheUserBackFromTheTray) {
  // A damaged engines.ini is said once on the status bar; the run works on.
  folder.Write("engines.ini", "[baidu]\nnextpage\n");
  auto form = Build();
  EXPECT_EQ(form->StatusPanel(8)->text(),
            QStringLiteral("engines.ini 第2行有误，已改用内置的搜索引擎设置"));
  const std::string message = Utf8ToGbk("检测到验证页面");
  form->AskForAttention(message);  // shown: the taskbar entry alone asks
  EXPECT_FALSE(shell.log.join(' ').contains(QStringLiteral("balloon")));
  form->N18Click();
  form->AskForAttention(message);
  EXPECT_TRUE(shell.log.contains(QStringLiteral("balloon:『Brivano』 V1.0|检测到验证页面")))
      << shell.log.join(' ').toStdString();
}

}  // namespace
}  // namespace brivano::testing
