// Whole runs from the main window in the real embedded browser, against a
// local server that answers the four engines' address forms.
#include <gtest/gtest.h>

#include <QApplication>
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
#include "app/tform1.h"
#include "engine_server.h"
#include "extract/extractors.h"
#include "base/text.h"
#include "qt_application.h"
#include "scripted_dialogs.h"
#include "support/cli_runner.h"
#include "support/recording_sink.h"
#include "test_window_options.h"

namespace brivano::testing {
namespace {

// The rendered text of the server's page, line by line.
std::vector<std::string> PageLines(int page, bool last) {
  const std::string n = std::to_string(page);
  std::vector<std::string> lines = {
      "深圳旅行社 第" + n + "页", "手机：1380000000" + n + " 电话：0755-8888000" + n,
      "邮箱：sales" + n + "@example.com", "QQ：1234500" + n, "传真：0755-2222000" + n};
  lines.push_back(last ? "上一页 1 2 3 相关搜索" : "下一页");
  std::vector<std::string> gbk;
  for (const auto& line : lines) gbk.push_back(Utf8ToGbk(line));
  return gbk;
}

std::vector<std::string> Expected(ContactKind kind, int keywords, int pages) {
  RecordingSink sink;
  for (int k = 0; k < keywords; ++k) {
    for (int page = 1; page <= pages; ++page)
      ExtractPage(kind, PageLines(page, page == pages), sink);
  }
  return sink.values;
}

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
  void Build() {
    // A tick every 750 ms at speed 3.
    TForm1Options options = TestWindowOptions(server, dialogs, folder, 0.25);
    options.openUrl = [this](const QString& url) { opened << url; };
    form = std::make_unique<TForm1>(options);
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
          return form->SearchEnabled() &&
                 form->StatusPanel(8)->text() == QStringLiteral("搜索已经结束！");
        },
        timeoutMs);
  }

  std::vector<std::string> Listed() const {
    std::vector<std::string> captions;
    for (const auto& item : form->Run().Buyers().items()) captions.push_back(item.caption);
    return captions;
  }

  TempDir folder;
  EngineServer server;
  ScriptedDialogs dialogs;
  QStringList opened;
  std::unique_ptr<TForm1> form;
};

TEST_F(EndToEndRun, EveryEngineAndKindInTheRealBrowser) {
  struct Case {
    int engineButton;  // RadioButton5..8
    int kindButton;    // RadioButton1..4
    ContactKind kind;
    QString firstRequest;
  } cases[] = {
      {5, 1, ContactKind::Mobile, QStringLiteral("/s?wd=a+%CA%D6%BB%FA%3A&pn=0")},
      {6, 2, ContactKind::Email, QStringLiteral("/tx?query=a+%D3%CA%CF%E4%3A&page=1")},
      // The browser sends escaped letters and digits as themselves.
      {7, 3, ContactKind::QQ, QStringLiteral("/s?q=a%20QQ%3A&pn=1")},
      {8, 4, ContactKind::Fax, QStringLiteral("/search?q=a%20%E4%BC%A0%E7%9C%9F%3A&first=1")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.engineButton);
    Build();
    form->Memo2()->setPlainText(QStringLiteral("a\nb\nc"));
    form->SpinEdit1()->setValue(3);
    form->RadioButton(c.engineButton)->setChecked(true);
    form->RadioButton(c.kindButton)->setChecked(true);
    const qsizetype before = server.Requests().size();
    form->N2Click();
    EXPECT_FALSE(form->SearchEnabled());
    EXPECT_FALSE(form->Panel5()->isEnabled());
    ASSERT_TRUE(WaitForEnd()) << form->StatusPanel(8)->text().toStdString() << " "
                              << server.Requests().mid(before).join(QLatin1Char(' ')).toStdString()
                              << " items " << Listed().size() << " pending "
                              << form->Run().ReadPending() << " timer "
                              << form->Run().PageTimer().Enabled() << " watchdog "
                              << form->Run().Watchdog().Enabled() << " counter "
                              << form->Run().PageCounter() << " next " << form->Run().NextPageFlag()
                              << " line " << form->Run().StartLine();

    const std::vector<std::string> expected = Expected(c.kind, 3, 3);
    EXPECT_EQ(Listed(), expected);
    EXPECT_EQ(expected.size() % 9, 0u);
    EXPECT_FALSE(expected.empty());
    form->BuyerModel()->Flush();
    EXPECT_EQ(form->ListView1()->model()->rowCount(), static_cast<int>(expected.size()));
    EXPECT_EQ(form->StatusPanel(7)->text(), QString::number(expected.size()));
    EXPECT_EQ(form->StatusPanel(1)->text(), QStringLiteral("3"));
    EXPECT_EQ(form->Run().StartLine(), 4);
    EXPECT_TRUE(form->Panel5()->isEnabled());
    EXPECT_FALSE(form->SpeedButton(3)->isEnabled());

    std::string autosave;
    for (const std::string& item : expected) autosave += item + "\r\n";
    EXPECT_EQ(ReadFileBytes(folder.path() / "autosave.txt"), autosave);
    const char* kindWords[] = {"mob", "eml", "qq", "fax"};
    const char* engineWords[] = {"baidu", "sougou", "360", "biying"};
    const std::string settings =
        std::string(
            "[config]\r\nspeed=3\r\nmaxpage=10\r\nprocess=4\r\nquchong=0\r\nautosave=0\r\n") +
        "info=" + kindWords[c.kindButton - 1] + "\r\nsearch=" + engineWords[c.engineButton - 5] +
        "\r\n" + Utf8ToGbk("markmob=手机:\r\nmarkeml=邮箱:\r\nmarkqq=QQ:\r\nmarkfax=传真:\r\n");
    EXPECT_EQ(ReadFileBytes(folder.path() / "brivano.ini"), settings);

    QStringList requests = server.Requests().mid(before);
    requests.removeAll(QStringLiteral("/favicon.ico"));
    ASSERT_EQ(requests.size(), 9);  // three pages for each of the three keywords
    EXPECT_EQ(requests.front(), c.firstRequest);
    form->close();
    form.reset();
  }
}

TEST_F(EndToEndRun, AVerificationWallPausesUntilTheUserSolvesIt) {
  Build();
  server.WallFrom(5);  // the middle page of the second keyword
  form->Memo2()->setPlainText(QStringLiteral("a\nb\nc"));
  form->SpinEdit1()->setValue(3);
  form->RadioButton(5)->setChecked(true);
  form->N2Click();
  ASSERT_TRUE(WaitUntil([this] { return form->Run().Paused(); }, 60000));
  EXPECT_EQ(form->StatusPanel(8)->text(),
            QStringLiteral("检测到验证页面，请在下方浏览器中完成验证，完成后自动继续"));
  EXPECT_EQ(Listed().size(), 4u);  // nothing of the wall itself
  EXPECT_FALSE(form->SearchEnabled());

  // The user clicks the check's link in the browser pane.
  QWebEngineView* view = form->WebBrowser1();
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

  ASSERT_TRUE(WaitForEnd()) << form->StatusPanel(8)->text().toStdString();
  EXPECT_EQ(Listed(), Expected(ContactKind::Mobile, 3, 3));
  EXPECT_EQ(form->Run().StartLine(), 4);
}

TEST_F(EndToEndRun, StopHarvestsThePageInHandAndEnds) {
  Build();
  form->Memo2()->setPlainText(QStringLiteral("a\nb\nc"));
  form->SpinEdit1()->setValue(3);
  form->N2Click();
  Pump(200);
  form->N3Click();
  EXPECT_EQ(form->StatusPanel(8)->text(), QStringLiteral("终止搜索..."));
  EXPECT_TRUE(form->SearchEnabled());
  EXPECT_TRUE(form->Panel6()->isEnabled());
  ASSERT_TRUE(WaitForEnd());
  EXPECT_EQ(Listed(), (std::vector<std::string>{"13800000001"}));
  EXPECT_EQ(form->Run().StartLine(), 2);

  // A new window on the same files offers the keyword after the stopped one.
  form->close();
  form.reset();
  EXPECT_EQ(ReadFileBytes(folder.path() / "brivanobody.ini"), "a\r\nb\r\nc");
  Build();
  dialogs.inputAnswers = {std::nullopt};
  form->N2Click();
  EXPECT_EQ(dialogs.shown.back(),
            QStringLiteral("input:搜索参数设置|请输入关键词搜索起始行数        |2"));
  EXPECT_EQ(form->Memo2()->toPlainText(), QStringLiteral("a\nb\nc"));
}

TEST_F(EndToEndRun, HangingAndHugePagesDoNotStopTheRunOrTheWindow) {
  Build();
  form->Memo2()->setPlainText(QStringLiteral("hang\nhuge\na"));
  form->SpinEdit1()->setValue(3);
  form->SpinEdit2()->setValue(1);
  // The event loop keeps turning while pages hang or weigh 10 MB.
  QElapsedTimer sinceLastTurn;
  sinceLastTurn.start();
  qint64 longestGap = 0;
  QTimer heartbeat;
  QObject::connect(&heartbeat, &QTimer::timeout,
                   [&] { longestGap = std::max(longestGap, sinceLastTurn.restart()); });
  heartbeat.start(50);
  form->N2Click();
  ASSERT_TRUE(WaitForEnd(90000));
  heartbeat.stop();
  EXPECT_LT(longestGap, 3000);
  EXPECT_EQ(form->Run().StartLine(), 4);
  const std::vector<std::string> listed = Listed();
  EXPECT_FALSE(listed.empty());
  EXPECT_EQ(listed.back(), "13800000001");  // the last keyword's page
}

}  // namespace
}  // namespace brivano::testing
