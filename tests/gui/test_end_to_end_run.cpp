// Whole runs from the main window in the real embedded browser, against a
// local server that answers the four engines' address forms.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWebEnginePage>

#include "app/buyer_list_model.h"
#include "app/main_window.h"
#include "app/site_fetcher.h"
#include "base/text.h"
#include "extract/extractors.h"
#include "testing/cli_runner.h"
#include "testing/gui/engine_server.h"
#include "testing/gui/qt_application.h"
#include "testing/gui/scripted_dialogs.h"
#include "testing/gui/test_window_options.h"
#include "testing/gui/widget_lookup.h"
#include "testing/local_web.h"
#include "testing/recording_sink.h"

namespace brivano::testing {
namespace {

constexpr double kTimerScale = 0.25;  // a tick every 750 ms at speed 3

class EndToEndRun : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // The browser's storage starts empty, as on a machine that never ran the
    // program: a Baidu run's cache clearing then stalls a page requested
    // before it has finished.
    static TempDir dataHome;
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(dataHome.path().string()));
    EnsureQtApplication();
  }

  // The run is started straight away, with no page loaded before: it waits
  // for each requested page to replace the one before it, whatever the load
  // takes, so the result does not hang on the machine's speed.
  void Build(std::optional<std::string> engineHost = std::nullopt) {
    MainWindowOptions options = TestWindowOptions(server, dialogs, folder, kTimerScale);
    if (engineHost) options.engines = EngineTableAt(*engineHost);
    options.openUrl = [this](const QString& url) { opened << url; };
    options.fetcher = fetcher.get();
    form = std::make_unique<MainWindow>(options);
    form->show();
  }

  void TearDown() override {
    if (form) {
      dialogs.confirmExit = true;
      form->close();
    }
  }

  bool WaitForEnd(int timeoutMs = 60000) {
    return WaitUntil(
        [this] {
          return !form->Run().Active() && Find<QLabel>(*form, "messagePanel")
                                              ->text()
                                              .startsWith(QStringLiteral("搜索已经结束！"));
        },
        timeoutMs);
  }

  std::vector<std::string> Listed() const {
    std::vector<std::string> captions;
    for (const auto& item : form->Run().Buyers().items()) captions.push_back(item.value);
    return captions;
  }

  TempDir folder;
  EngineServer server;
  ScriptedDialogs dialogs;
  QStringList opened;
  std::unique_ptr<PageFetcher> fetcher;  // the window's own when null
  std::unique_ptr<MainWindow> form;
};

TEST_F(EndToEndRun, EveryEngineAndKindInTheRealBrowser) {
  struct Case {
    const char* engineButton;
    const char* kindButton;
    const char* engineWord;  // in the settings file
    const char* kindWord;
    ContactKind kind;
    QString firstRequest;
  } cases[] = {
      {"baiduButton", "mobileButton", "baidu", "mob", ContactKind::Mobile,
       QStringLiteral("/s?wd=a+%CA%D6%BB%FA%3A&pn=0")},
      {"sogouButton", "emailButton", "sougou", "eml", ContactKind::Email,
       QStringLiteral("/tx?query=a+%D3%CA%CF%E4%3A&page=1")},
      // The browser sends escaped letters and digits as themselves.
      {"so360Button", "qqButton", "360", "qq", ContactKind::QQ,
       QStringLiteral("/s?q=a%20QQ%3A&pn=1")},
      {"bingButton", "faxButton", "biying", "fax", ContactKind::Fax,
       QStringLiteral("/search?q=a%20%E4%BC%A0%E7%9C%9F%3A&first=1")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.engineButton);
    Build();
    Find<QPlainTextEdit>(*form, "keywordEdit")->setPlainText(QStringLiteral("a\nb\nc"));
    Find<QSpinBox>(*form, "speedSpin")->setValue(3);
    Find<QRadioButton>(*form, c.engineButton)->setChecked(true);
    Find<QRadioButton>(*form, c.kindButton)->setChecked(true);
    const qsizetype before = server.Requests().size();
    form->StartRun();
    EXPECT_TRUE(form->Run().Active());
    EXPECT_FALSE(Find<QFrame>(*form, "kindGroup")->isEnabled());
    ASSERT_TRUE(WaitForEnd()) << Find<QLabel>(*form, "messagePanel")->text().toStdString() << " "
                              << server.Requests().mid(before).join(QLatin1Char(' ')).toStdString()
                              << " items " << Listed().size() << " pending "
                              << form->Run().ReadPending() << " timer "
                              << form->Run().PageTimer().Enabled() << " watchdog "
                              << form->Run().Watchdog().Enabled() << " counter "
                              << form->Run().PageCounter() << " next " << form->Run().NextPageFlag()
                              << " line " << form->Run().StartLine();

    const std::vector<std::string> expected = ExpectedHarvest(c.kind, 3, 3);
    EXPECT_EQ(Listed(), expected);
    EXPECT_EQ(expected.size() % 9, 0u);
    EXPECT_FALSE(expected.empty());
    form->BuyerModel()->Flush();
    EXPECT_EQ(Find<QTableView>(*form, "buyerList")->model()->rowCount(),
              static_cast<int>(expected.size()));
    EXPECT_EQ(Find<QLabel>(*form, "buyerCountPanel")->text(), QString::number(expected.size()));
    EXPECT_EQ(Find<QLabel>(*form, "keywordCountPanel")->text(), QStringLiteral("3"));
    EXPECT_EQ(form->Run().StartLine(), 4);
    EXPECT_TRUE(Find<QFrame>(*form, "kindGroup")->isEnabled());
    EXPECT_FALSE(Find<QToolButton>(*form, "stopButton")->isEnabled());

    std::string autosave;
    for (const std::string& item : expected) autosave += item + "\r\n";
    EXPECT_EQ(ReadFileBytes(folder.path() / "autosave.txt"), autosave);
    const std::string settings =
        std::string(
            "[config]\r\nspeed=3\r\nmaxpage=10\r\nprocess=4\r\nquchong=0\r\nautosave=0\r\n") +
        "info=" + c.kindWord + "\r\nsearch=" + c.engineWord + "\r\n" +
        Utf8ToGbk("markmob=手机:\r\nmarkeml=邮箱:\r\nmarkqq=QQ:\r\nmarkfax=传真:\r\n");
    EXPECT_EQ(ReadFileBytes(folder.path() / "brivano.ini"), settings);

    QStringList requests = server.Requests().mid(before);
    requests.removeAll(QStringLiteral("/favicon.ico"));
    ASSERT_EQ(requests.size(), 9);  // three pages for each of the three keywords
    EXPECT_EQ(requests.front(), c.firstRequest);
    form->close();
    form.reset();
  }
}

// Every value belongs to the result block it stood in, read from the page
// the real browser shows; the one in the side bar belongs to none.
TEST_F(EndToEndRun, EveryValueBelongsToTheResultItStoodIn) {
  server.ServeResultBlocks();
  for (const char* engine : {"baiduButton", "sogouButton", "so360Button", "bingButton"}) {
    SCOPED_TRACE(engine);
    Build();
    Find<QPlainTextEdit>(*form, "keywordEdit")->setPlainText(QStringLiteral("a"));
    Find<QSpinBox>(*form, "speedSpin")->setValue(3);
    Find<QSpinBox>(*form, "pageLimitSpin")->setValue(1);
    Find<QRadioButton>(*form, engine)->setChecked(true);
    Find<QRadioButton>(*form, "mobileButton")->setChecked(true);
    form->StartRun();
    ASSERT_TRUE(WaitForEnd()) << Find<QLabel>(*form, "messagePanel")->text().toStdString();
    const BuyerList& buyers = form->Run().Buyers();
    ASSERT_EQ(Listed(), (std::vector<std::string>{BlockPageValue(1, 0), BlockPageValue(1, 1),
                                                  BlockPageValue(1, 2)}));
    EXPECT_FALSE(buyers[0].owner);
    form->BuyerModel()->Flush();
    QAbstractItemModel* model = Find<QTableView>(*form, "buyerList")->model();
    for (int block = 1; block <= 2; ++block) {
      ASSERT_TRUE(buyers[block].owner) << block;
      const ResultOwner& owner = *buyers[block].owner;
      EXPECT_EQ(GbkToUtf8(owner.company), BlockCompany(block));
      EXPECT_EQ(GbkToUtf8(owner.title), BlockCompany(block));  // "_官网" taken off
      EXPECT_EQ(GbkToUtf8(owner.site), BlockSite(block));
      EXPECT_EQ(model->index(block, 1).data().toString().toStdString(),
                BlockCompany(block) + "（" + BlockSite(block) + "）");
    }
    dialogs.confirmExit = true;
    form->close();
    form.reset();
  }
}

// 访问网站 switched on in the window: the two results' sites and the contact
// page of one of them are read, their values listed with the site page they
// came from, and the status bar counts the sites.
TEST_F(EndToEndRun, TheVisitSitesSwitchHarvestsTheResultSites) {
  LocalWeb web;
  web.Start();
  const std::string port = std::to_string(web.Port());
  web.Route("w1.test", "/",
            {.headers = {{"Content-Type", "text/html; charset=utf-8"}},
             .body = "<title>W1</title><a href='/lx.html'>联系我们</a>"});
  web.Route("w1.test", "/lx.html",
            {.headers = {{"Content-Type", "text/html; charset=utf-8"}},
             .body = "<p>手机 13922220001</p><p>深圳市一一有限公司 版权所有</p>"});
  web.Route(
      "w2.test", "/",
      {.headers = {{"Content-Type", "text/html; charset=utf-8"}}, .body = "<p>13922220002</p>"});
  std::vector<ResolveRule> rules;
  for (const char* host : {"w1.test", "w2.test"})
    rules.push_back(*ParseResolveRule(std::string(host) + ":" + port + ":127.0.0.1"));
  fetcher = std::make_unique<QtSiteFetcher>(rules);
  server.SetBlockTargets({QString::fromStdString("http://w1.test:" + port + "/"),
                          QString::fromStdString("http://w2.test:" + port + "/")});
  Build();
  Find<QPlainTextEdit>(*form, "keywordEdit")->setPlainText(QStringLiteral("a"));
  Find<QSpinBox>(*form, "speedSpin")->setValue(3);
  Find<QSpinBox>(*form, "pageLimitSpin")->setValue(1);
  Find<QRadioButton>(*form, "so360Button")->setChecked(true);
  auto* visit = Find<QCheckBox>(*form, "visitSitesCheck");
  EXPECT_EQ(visit->text(), QStringLiteral("访问网站"));
  QTest::mouseClick(visit, Qt::LeftButton, {}, QPoint(8, visit->height() / 2));
  ASSERT_TRUE(visit->isChecked());
  Find<QToolButton>(*form, "searchButton")->click();
  ASSERT_TRUE(WaitForEnd()) << Find<QLabel>(*form, "messagePanel")->text().toStdString();

  const std::vector<std::string> listed = Listed();
  for (const char* value : {"13922220001", "13922220002"}) {
    EXPECT_NE(std::find(listed.begin(), listed.end(), value), listed.end()) << value;
  }
  for (const ContactValue& item : form->Run().Buyers().items()) {
    if (item.value != "13922220001") continue;
    EXPECT_TRUE(item.source->sitePage);
    EXPECT_EQ(item.source->pageUrl, "http://w1.test:" + port + "/lx.html");
    EXPECT_EQ(GbkToUtf8(item.owner->company), "深圳市一一有限公司");
  }
  const QLabel* sites = Find<QLabel>(*form, "sitesPanel");
  EXPECT_TRUE(sites->isVisible());
  EXPECT_EQ(sites->text(), QStringLiteral("网站 2/2"));
  EXPECT_TRUE(
      Find<QLabel>(*form, "messagePanel")->text().contains(QStringLiteral("访问网站 2/2 个")))
      << Find<QLabel>(*form, "messagePanel")->text().toStdString();
  // The switch is kept for the next start.
  EXPECT_NE(ReadFileBytes(folder.path() / "brivano.ini").find("fangwenwangzhan=1"),
            std::string::npos);
}

TEST_F(EndToEndRun, AVerificationWallPausesUntilTheUserSolvesIt) {
  Build();
  server.WallFrom(5);  // the middle page of the second keyword
  Find<QPlainTextEdit>(*form, "keywordEdit")->setPlainText(QStringLiteral("a\nb\nc"));
  Find<QSpinBox>(*form, "speedSpin")->setValue(3);
  Find<QRadioButton>(*form, "baiduButton")->setChecked(true);
  form->StartRun();
  ASSERT_TRUE(WaitUntil([this] { return form->Run().Paused(); }, 60000));
  EXPECT_EQ(Find<QLabel>(*form, "messagePanel")->text(),
            QStringLiteral("检测到验证页面，请在下方浏览器中完成验证，完成后自动继续"));
  EXPECT_EQ(Listed().size(), 4u);  // nothing of the wall itself
  EXPECT_TRUE(form->Run().Active());

  // The user clicks the check's link in the browser pane.
  QWebEngineView* view = Find<QWebEngineView>(*form, "browserView");
  QPoint link(-1, -1);
  view->page()->runJavaScript(
      QStringLiteral("(function(){var r=document.getElementById('solve').getBoundingClientRect();"
                     "return [r.left + r.width / 2, r.top + r.height / 2];})()"),
      [&link](const QVariant& result) {
        const QVariantList xy = result.toList();
        if (xy.size() == 2) link = QPoint(xy[0].toInt(), xy[1].toInt());
      });
  ASSERT_TRUE(WaitUntil([&link] { return link.x() >= 0; }, 10000));
  QWidget* surface = view->focusProxy() ? view->focusProxy() : view;
  QTest::mouseClick(surface, Qt::LeftButton, {}, link);
  ASSERT_TRUE(WaitUntil([this] { return server.WallSolved(); }, 10000));

  ASSERT_TRUE(WaitForEnd()) << Find<QLabel>(*form, "messagePanel")->text().toStdString();
  EXPECT_EQ(Listed(), ExpectedHarvest(ContactKind::Mobile, 3, 3));
  EXPECT_EQ(form->Run().StartLine(), 4);
}

TEST_F(EndToEndRun, StopHarvestsThePageInHandAndEnds) {
  Build();
  Find<QPlainTextEdit>(*form, "keywordEdit")->setPlainText(QStringLiteral("a\nb\nc"));
  Find<QSpinBox>(*form, "speedSpin")->setValue(3);
  form->StartRun();
  Pump(200);
  form->StopRun();
  EXPECT_EQ(Find<QLabel>(*form, "messagePanel")->text(), QStringLiteral("终止搜索..."));
  EXPECT_FALSE(form->Run().Active());
  EXPECT_TRUE(Find<QFrame>(*form, "engineGroup")->isEnabled());
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(Listed(), (std::vector<std::string>{"13800000001"}));
  EXPECT_EQ(form->Run().StartLine(), 2);

  // A new window on the same files offers the keyword after the stopped one.
  form->close();
  form.reset();
  EXPECT_EQ(ReadFileBytes(folder.path() / "brivanobody.ini"), "a\r\nb\r\nc");
  Build();
  dialogs.inputAnswers = {std::nullopt};
  form->StartRun();
  EXPECT_EQ(dialogs.shown.back(),
            QStringLiteral("input:搜索参数设置|请输入关键词搜索起始行数（共 3 行）|2"));
  EXPECT_EQ(Find<QPlainTextEdit>(*form, "keywordEdit")->toPlainText(), QStringLiteral("a\nb\nc"));
}

TEST_F(EndToEndRun, HangingAndHugePagesDoNotStopTheRunOrTheWindow) {
  Build();
  Find<QPlainTextEdit>(*form, "keywordEdit")->setPlainText(QStringLiteral("hang\nhuge\na"));
  Find<QSpinBox>(*form, "speedSpin")->setValue(3);
  Find<QSpinBox>(*form, "pageLimitSpin")->setValue(1);
  // The event loop keeps turning while pages hang or weigh 10 MB.
  QElapsedTimer sinceLastTurn;
  sinceLastTurn.start();
  qint64 longestGap = 0;
  QTimer heartbeat;
  QObject::connect(&heartbeat, &QTimer::timeout,
                   [&] { longestGap = std::max(longestGap, sinceLastTurn.restart()); });
  heartbeat.start(50);
  form->StartRun();
  // The hanging page is waited for three times (15 s each at this scale).
  ASSERT_TRUE(WaitForEnd(180000));
  heartbeat.stop();
  // What this catches is a window that waits for a page: the hanging page is
  // waited for a watchdog's period (15 s at this scale) each time, and a
  // window that blocked on it would stop turning about that long. Half of it
  // is far more than a slow or loaded machine stalls, or than the 10 MB page
  // takes, so only a blocked window fails here.
  EXPECT_LT(longestGap, SearchRun::kWatchdogIntervalMs * kTimerScale / 2);
  EXPECT_EQ(form->Run().StartLine(), 4);
  // It is named, and a later run starts at it.
  EXPECT_EQ(form->Run().Summary().failedLines, std::vector<std::int32_t>{1});
  EXPECT_EQ(form->Run().ResumeLine(), 1);
  EXPECT_TRUE(
      Find<QLabel>(*form, "messagePanel")->text().contains(QStringLiteral("失败 1 个（第 1 行）")));
  const std::vector<std::string> listed = Listed();
  EXPECT_FALSE(listed.empty());
  EXPECT_EQ(listed.back(), "13800000001");  // the last keyword's page
}

// Nothing listens at the engine's address: after three keywords in a row the
// run pauses and says the network is down, with no keyword used up; 终止
// ends it and the line to go on from is still the first.
TEST_F(EndToEndRun, AnEngineThatCannotBeReachedPausesTheRun) {
  Build("http://127.0.0.1:1");
  Find<QPlainTextEdit>(*form, "keywordEdit")->setPlainText(QStringLiteral("a\nb\nc\nd"));
  Find<QSpinBox>(*form, "speedSpin")->setValue(3);
  Find<QSpinBox>(*form, "pageLimitSpin")->setValue(1);
  Find<QRadioButton>(*form, "sogouButton")->setChecked(true);
  form->StartRun();
  ASSERT_TRUE(WaitUntil([this] { return form->Run().Paused(); }, 120000));
  EXPECT_EQ(form->Run().Pause(), PauseReason::NetworkDown);
  EXPECT_TRUE(Find<QLabel>(*form, "messagePanel")->text().startsWith(QStringLiteral("网络不通")));
  EXPECT_TRUE(form->Run().Summary().failedLines.empty());
  EXPECT_EQ(form->Run().ResumeLine(), 1);
  form->StopRun();
  ASSERT_TRUE(WaitForEnd(10000));
  EXPECT_NE(ReadFileBytes(folder.path() / "brivano.ini").find("process=1\r\n"), std::string::npos);
}

}  // namespace
}  // namespace brivano::testing
