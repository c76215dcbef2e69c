// The browser-cache cleaner: history first, then cache and visited links,
// silent on failure; Baidu runs start from a fresh browser profile instead.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QRadioButton>
#include <QToolButton>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <stdexcept>

#include "app/browser_cache_cleaner.h"
#include "app/main_window.h"
#include "testing/cli_runner.h"
#include "testing/gui/engine_server.h"
#include "testing/gui/qt_application.h"
#include "testing/gui/scripted_dialogs.h"
#include "testing/gui/test_window_options.h"
#include "testing/gui/widget_lookup.h"

namespace brivano::testing {
namespace {

class RecordingDataStore : public BrowserDataStore {
 public:
  std::vector<std::string> calls;
  std::string failAt;  // the call that throws
  std::function<void()> onCall;

  void ClearHistory() override { Record("history"); }
  void ClearHttpCache() override { Record("cache"); }
  void ClearVisitedLinks() override { Record("visited"); }

 private:
  void Record(const std::string& what) {
    if (onCall) onCall();
    calls.push_back(what);
    if (what == failAt) throw std::runtime_error("store unavailable");
  }
};

class CacheCleaner : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { EnsureQtApplication(); }
};

TEST_F(CacheCleaner, HistoryFirstAndEveryFailureSilent) {
  struct Case {
    std::string failAt;
    std::vector<std::string> calls;
  } cases[] = {
      {"", {"history", "cache", "visited"}},
      {"history", {"history"}},  // no history store: nothing else is cleared
      {"cache", {"history", "cache"}},
  };
  for (const auto& c : cases) {
    RecordingDataStore store;
    store.failAt = c.failAt;
    BrowserCacheCleaner form(store);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("清空IE历史数据"));
    EXPECT_EQ(form.CleanButton()->text(), QStringLiteral("清理"));
    EXPECT_NO_THROW(form.CleanButton()->click());
    EXPECT_EQ(store.calls, c.calls) << c.failAt;
    EXPECT_FALSE(form.isVisible());
  }
}

// Emptying the shared profile cannot be waited for in QtWebEngine, and a
// request made meanwhile may be lost: a Baidu run starts in a new, empty
// profile instead, and its first request goes there.
TEST_F(CacheCleaner, OnlyBaiduRunsStartFromAFreshProfile) {
  for (const char* engineButton : {"baiduButton", "sogouButton", "so360Button", "bingButton"}) {
    TempDir folder;
    EngineServer server;
    ScriptedDialogs dialogs;
    RecordingDataStore store;
    MainWindowOptions options = TestWindowOptions(server, dialogs, folder);
    options.browserData = &store;
    MainWindow form(options);
    QWebEngineView* view = Find<QWebEngineView>(form, "browserView");
    const QWebEngineProfile* before = view->page()->profile();
    Find<QPlainTextEdit>(form, "keywordEdit")->setPlainText(QStringLiteral("a"));
    Find<QRadioButton>(form, engineButton)->setChecked(true);
    form.StartRun();
    ASSERT_TRUE(WaitUntil([&] { return !server.Requests().isEmpty(); }, 10000));
    const bool baidu = std::string_view(engineButton) == "baiduButton";
    EXPECT_EQ(view->page()->profile() != before, baidu) << engineButton;
    EXPECT_TRUE(view->page()->profile()->isOffTheRecord());
    EXPECT_TRUE(view->page()->url().toString().startsWith(server.BaseUrl())) << engineButton;
    EXPECT_TRUE(store.calls.empty()) << engineButton;
    form.StopRun();
    form.close();
  }
}

}  // namespace
}  // namespace brivano::testing
