// The main window as a user meets it: defaults, loaded settings, the control
// states of a run, the exit question, the file commands and the generator.
#include <gtest/gtest.h>
#include <signal.h>

#include <cstring>

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <filesystem>
#include <random>

#include "app/about_box.h"
#include "app/keyword_generator_window.h"
#include "app/main_window.h"
#include "base/text.h"
#include "store/harvest_store.h"
#include "testing/cli_runner.h"
#include "testing/gui/engine_server.h"
#include "testing/gui/qt_application.h"
#include "testing/gui/scripted_dialogs.h"
#include "testing/gui/test_window_options.h"
#include "testing/gui/widget_lookup.h"

namespace brivano::testing {
namespace {

class Window : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { EnsureQtApplication(); }

  std::unique_ptr<MainWindow> Build() {
    MainWindowOptions options = TestWindowOptions(server, dialogs, folder);
    options.openUrl = [this](const QString& url) { opened << url; };
    auto form = std::make_unique<MainWindow>(options);
    form->show();
    return form;
  }

  std::vector<std::string> FilesInFolder() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
      names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  TempDir folder;
  EngineServer server;
  ScriptedDialogs dialogs;
  QStringList opened;
};

TEST_F(Window, FirstStartShowsTheDefaults) {
  auto form = Build();
  EXPECT_TRUE(
      form->windowTitle().startsWith(QStringLiteral("『Brivano』 V1.0") + QString(53, ' ')));
  EXPECT_EQ(form->size(), QSize(938, 659));
  EXPECT_EQ(Find<QPlainTextEdit>(*form, "keywordEdit")->toPlainText().split('\n'),
            BuiltInKeywords());
  EXPECT_EQ(form->Controls().KeywordLineCount(), 11);
  EXPECT_EQ(Find<QSpinBox>(*form, "speedSpin")->value(), 8);
  EXPECT_EQ(Find<QSpinBox>(*form, "pageLimitSpin")->value(), 10);
  EXPECT_FALSE(Find<QCheckBox>(*form, "dedupCheck")->isChecked());
  EXPECT_FALSE(Find<QCheckBox>(*form, "autoSaveCheck")->isChecked());
  EXPECT_TRUE(Find<QRadioButton>(*form, "mobileButton")->isChecked());
  EXPECT_TRUE(Find<QRadioButton>(*form, "so360Button")->isChecked());
  const std::pair<const char*, const char*> marks[] = {{"mobileMarkEdit", "手机:"},
                                                       {"emailMarkEdit", "邮箱:"},
                                                       {"qqMarkEdit", "QQ:"},
                                                       {"faxMarkEdit", "传真:"}};
  for (const auto& [name, mark] : marks)
    EXPECT_EQ(Find<QLineEdit>(*form, name)->text(), QString::fromUtf8(mark));
  EXPECT_EQ(Find<QTableView>(*form, "buyerList")->model()->rowCount(), 0);
  EXPECT_EQ(Find<QTableView>(*form, "buyerList")->model()->headerData(0, Qt::Horizontal).toString(),
            QString(21, ' ') + QStringLiteral("买家数据显示区"));
  const std::pair<const char*, const char*> labels[] = {
      {"keywordCountCaption", "关键词总数："}, {"keywordCountPanel", ""},
      {"keywordLineCaption", "第几关键词："},  {"keywordLinePanel", ""},
      {"pageCaption", "搜索第几页"},           {"pagePanel", ""},
      {"buyerCountCaption", "买家信息数："},   {"buyerCountPanel", ""}};
  for (const auto& [name, label] : labels)
    EXPECT_EQ(Find<QLabel>(*form, name)->text(), QString::fromUtf8(label)) << name;
  EXPECT_EQ(Find<QPlainTextEdit>(*form, "keywordEdit")->toolTip(),
            QStringLiteral("请在此输入买家所在的城市和行业，用空格符号分隔"));

  struct Button {
    const char* name;
    const char* caption;
    const char* tooltip;
  } buttons[] = {
      {"searchButton", "搜索", "开始定向搜索"}, {"stopButton", "终止", "终止定向搜索"},
      {"saveButton", "保存", "保存搜索结果"},   {"progressButton", "进程", "保存搜索进程"},
      {"createButton", "创建", "创建搜索文件"}, {"mergeButton", "合并", "合并文件去重"},
      {"homeButton", "主页", "访问软件网站"},   {"aboutButton", "关于", "关于本软件"},
      {"exitButton", "退出", "退出软件系统"}};
  int lastX = -1;
  for (const auto& b : buttons) {
    QToolButton* button = Find<QToolButton>(*form, b.name);
    EXPECT_EQ(button->text(), QString::fromUtf8(b.caption));
    EXPECT_EQ(button->toolTip(), QString::fromUtf8(b.tooltip));
    EXPECT_EQ(button->size(), QSize(55, 23));
    EXPECT_EQ(button->focusPolicy(), Qt::NoFocus);
    EXPECT_FALSE(button->icon().isNull());
    EXPECT_GT(button->x(), lastX);  // left to right in this order
    lastX = button->x();
  }
  EXPECT_EQ(QToolTip::palette().color(QPalette::ToolTipBase), QColor(0, 255, 0));
  EXPECT_TRUE(FilesInFolder().empty());  // nothing is written before a save or the exit
}

TEST_F(Window, StartWithStoredFiles) {
  folder.Write("brivano.ini", Utf8ToGbk("[config]\r\nspeed=5000\r\nmaxpage=0\r\nprocess=3\r\n"
                                        "quchong=2\r\nautosave=256\r\ninfo=qq\r\nsearch=biying\r\n"
                                        "markmob= \"手机号\" \r\nmarkfax=FAX\r\n"));
  folder.Write("brivanobody.ini", Utf8ToGbk("杭州 茶叶\n成都 火锅\r\n"));
  auto form = Build();
  EXPECT_EQ(Find<QSpinBox>(*form, "speedSpin")->value(), 1000);
  EXPECT_EQ(Find<QSpinBox>(*form, "pageLimitSpin")->value(), 1);
  EXPECT_EQ(form->Run().StartLine(), 3);
  EXPECT_TRUE(Find<QCheckBox>(*form, "dedupCheck")->isChecked());
  EXPECT_FALSE(Find<QCheckBox>(*form, "autoSaveCheck")->isChecked());
  EXPECT_TRUE(Find<QRadioButton>(*form, "qqButton")->isChecked());
  EXPECT_TRUE(Find<QRadioButton>(*form, "bingButton")->isChecked());
  EXPECT_EQ(Find<QLineEdit>(*form, "mobileMarkEdit")->text(), QStringLiteral("手机号"));
  EXPECT_EQ(Find<QLineEdit>(*form, "emailMarkEdit")->text(), QStringLiteral("邮箱:"));
  EXPECT_EQ(Find<QLineEdit>(*form, "faxMarkEdit")->text(), QStringLiteral("FAX"));
  EXPECT_EQ(Find<QPlainTextEdit>(*form, "keywordEdit")->toPlainText(),
            QStringLiteral("杭州 茶叶\n成都 火锅\n"));
  EXPECT_EQ(form->Controls().KeywordLineCount(), 2);
}

TEST_F(Window, GarbageSettingsGiveTheDefaults) {
  std::string garbage;
  for (int i = 0; i < 5000; ++i) garbage.push_back(static_cast<char>((i * 7919) % 256));
  folder.Write("brivano.ini", garbage);
  auto form = Build();
  EXPECT_EQ(Find<QSpinBox>(*form, "speedSpin")->value(), 8);
  EXPECT_TRUE(Find<QRadioButton>(*form, "so360Button")->isChecked());
}

TEST_F(Window, ControlStatesThroughARun) {
  auto form = Build();
  auto others = [&] {
    return Find<QPlainTextEdit>(*form, "keywordEdit")->isEnabled() &&
           Find<QSpinBox>(*form, "speedSpin")->isEnabled() &&
           Find<QCheckBox>(*form, "dedupCheck")->isEnabled() &&
           Find<QLineEdit>(*form, "mobileMarkEdit")->isEnabled() &&
           Find<QToolButton>(*form, "saveButton")->isEnabled() &&
           Find<QToolButton>(*form, "mergeButton")->isEnabled() &&
           Find<QToolButton>(*form, "exitButton")->isEnabled();
  };
  // Idle after start-up: 终止 is enabled but does nothing.
  EXPECT_TRUE(Find<QToolButton>(*form, "searchButton")->isEnabled());
  EXPECT_TRUE(Find<QToolButton>(*form, "stopButton")->isEnabled());
  const QString designText = Find<QLabel>(*form, "messagePanel")->text();
  Find<QToolButton>(*form, "stopButton")->click();
  EXPECT_EQ(Find<QLabel>(*form, "messagePanel")->text(), designText);
  EXPECT_TRUE(Find<QFrame>(*form, "kindGroup")->isEnabled());

  Find<QPlainTextEdit>(*form, "keywordEdit")->setPlainText(QStringLiteral("a\nb"));
  Find<QToolButton>(*form, "searchButton")->click();
  EXPECT_FALSE(Find<QToolButton>(*form, "searchButton")->isEnabled());
  EXPECT_TRUE(Find<QToolButton>(*form, "stopButton")->isEnabled());
  EXPECT_FALSE(Find<QFrame>(*form, "kindGroup")->isEnabled());
  EXPECT_FALSE(Find<QFrame>(*form, "engineGroup")->isEnabled());
  EXPECT_TRUE(others());

  Find<QToolButton>(*form, "stopButton")->click();  // 终止
  EXPECT_TRUE(Find<QToolButton>(*form, "searchButton")->isEnabled());
  EXPECT_FALSE(Find<QToolButton>(*form, "stopButton")->isEnabled());
  EXPECT_TRUE(Find<QFrame>(*form, "kindGroup")->isEnabled());
  EXPECT_TRUE(others());
  ASSERT_TRUE(WaitUntil(
      [&] {
        return Find<QLabel>(*form, "messagePanel")
            ->text()
            .startsWith(QStringLiteral("搜索已经结束！"));
      },
      20000));
  EXPECT_FALSE(Find<QToolButton>(*form, "stopButton")->isEnabled());
  EXPECT_TRUE(others());
}

TEST_F(Window, ExitQuestion) {
  auto form = Build();
  dialogs.confirmExit = false;
  EXPECT_FALSE(form->close());
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(dialogs.shown.back(), QStringLiteral("confirm-exit"));
  EXPECT_TRUE(FilesInFolder().empty());  // 否 writes nothing

  dialogs.confirmExit = true;
  Find<QToolButton>(*form, "exitButton")->click();
  EXPECT_FALSE(form->isVisible());
}

TEST_F(Window, ClosingDuringARunWritesOnlyTheKeywordStore) {
  auto form = Build();
  Find<QPlainTextEdit>(*form, "keywordEdit")->setPlainText(QStringLiteral("a\nb\nc"));
  Find<QToolButton>(*form, "searchButton")->click();
  Pump(300);
  form->close();
  form.reset();
  // The harvest store holds the first page; nothing else but the keywords.
  EXPECT_EQ(FilesInFolder(), (std::vector<std::string>{"brivano.db", "brivanobody.ini"}));
  EXPECT_EQ(ReadFileBytes(folder.path() / "brivanobody.ini"), "a\r\nb\r\nc");
}

TEST_F(Window, SaveAndProgressCommands) {
  auto form = Build();
  Find<QToolButton>(*form, "saveButton")->click();  // empty list: no dialog
  EXPECT_TRUE(dialogs.fileRequests.empty());

  Find<QToolButton>(*form, "progressButton")->click();  // 进程 with an empty list
  EXPECT_EQ(dialogs.shown.back(), QStringLiteral("message:已经保存当前网络搜索进程！"));
  EXPECT_EQ(FilesInFolder(), std::vector<std::string>{"brivano.ini"});

  form->Run().AddBuyerItem("13800000000", ContactKind::Mobile);
  form->Run().AddBuyerItem("13900000000", ContactKind::Mobile);
  const auto target = folder.path() / "out.txt";
  dialogs.saveAnswers = {QString::fromStdString(target.string())};
  Find<QToolButton>(*form, "saveButton")->click();
  ASSERT_EQ(dialogs.fileRequests.size(), 1u);
  const FileDialogRequest& request = dialogs.fileRequests[0];
  EXPECT_EQ(request.title, QStringLiteral("搜索结果保存为"));
  EXPECT_EQ(request.filter,
            QStringLiteral("Text files(*.txt)|*.txt|CSV (UTF-8，Excel 可直接打开)|*.csv|"
                           "Excel 工作簿 (*.xlsx)|*.xlsx|All files(*.*)|*.*"));
  EXPECT_EQ(request.defaultSuffix, QStringLiteral("txt"));
  EXPECT_EQ(request.proposedName, QStringLiteral("2.txt"));
  EXPECT_EQ(request.initialFolder.toStdString(), folder.path().string());
  EXPECT_EQ(ReadFileBytes(target), "13800000000\r\n13900000000\r\n");
}

TEST_F(Window, MergeThroughItsDialogs) {
  auto form = Build();
  const auto a = folder.Write("a.txt", "b\r\na\r\nb\r\nA");
  const auto out = folder.path() / "merged.txt";
  dialogs.openAnswers = {QStringList{QString::fromStdString(a.string())}};
  dialogs.saveAnswers = {QString::fromStdString(out.string())};
  Find<QToolButton>(*form, "mergeButton")->click();
  EXPECT_EQ(dialogs.fileRequests.at(0).title, QStringLiteral("选择待合并的数据文件"));
  EXPECT_EQ(dialogs.fileRequests.at(1).title, QStringLiteral("合并后的数据文件保存为"));
  EXPECT_EQ(Find<QLabel>(*form, "messagePanel")->text(),
            QStringLiteral("文件合并去重完毕！共计：2"));
  EXPECT_EQ(ReadFileBytes(out), "a\r\nb\r\n");
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // the busy cursor is gone

  dialogs.openAnswers = {QStringList{QStringLiteral("/nonexistent/in.txt")}};
  dialogs.saveAnswers = {QString::fromStdString(out.string())};
  Find<QToolButton>(*form, "mergeButton")->click();
  EXPECT_TRUE(dialogs.shown.back().startsWith(
      QStringLiteral("error:Cannot open file \"/nonexistent/in.txt\"")));
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(ReadFileBytes(out), "a\r\nb\r\n");
}

TEST_F(Window, GeneratorKeepsItsBoxesBetweenOpenings) {
  auto form = Build();
  KeywordGeneratorWindow* generator = form->Generator();
  EXPECT_EQ(generator->windowTitle(), QStringLiteral("创建关键词列表文件"));
  EXPECT_EQ(generator->size(), QSize(370, 386));
  QTimer::singleShot(0, generator, [generator] {
    generator->Generate();
    generator->Generate();  // twice gives the same 36 lines
    generator->CitiesEdit()->setPlainText(QStringLiteral("杭州"));
    generator->close();
  });
  Find<QToolButton>(*form, "createButton")->click();  // modal until the window closes
  const QStringList lines = generator->ListEdit()->toPlainText().split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 36);
  EXPECT_EQ(lines.front(), QStringLiteral("广州 旅行社"));
  EXPECT_EQ(lines.back(), QStringLiteral("南京 电器"));

  QTimer::singleShot(0, generator, [generator] { generator->close(); });
  Find<QToolButton>(*form, "createButton")->click();
  EXPECT_EQ(generator->CitiesEdit()->toPlainText(), QStringLiteral("杭州"));
  EXPECT_EQ(generator->ListEdit()->toPlainText().count('\n'), 36);

  const auto target = folder.path() / "keywords.txt";
  dialogs.saveAnswers = {QString::fromStdString(target.string())};
  generator->SaveList();
  EXPECT_EQ(dialogs.fileRequests.back().proposedName, QStringLiteral("搜索关键词列表文件.txt"));
  const std::string saved = ReadFileBytes(target);
  EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 36);
  EXPECT_TRUE(saved.starts_with(Utf8ToGbk("广州 旅行社\r\n")));
}

TEST_F(Window, HugeKeywordBoxAndControlCharactersInMarks) {
  auto form = Build();
  QStringList keywords;
  for (int i = 0; i < 100000; ++i) keywords << QStringLiteral("城市%1 行业").arg(i);
  Find<QPlainTextEdit>(*form, "keywordEdit")->setPlainText(keywords.join('\n'));
  EXPECT_EQ(form->Controls().KeywordLineCount(), 100000);
  EXPECT_EQ(form->Controls().KeywordLine(99999), Utf8ToGbk("城市99999 行业"));
  Find<QLineEdit>(*form, "mobileMarkEdit")->setText(QStringLiteral("\t手\x01机\x02 "));
  dialogs.inputAnswers = {QStringLiteral("100000")};
  Find<QToolButton>(*form, "searchButton")->click();
  ASSERT_TRUE(WaitUntil([&] { return !server.Requests().isEmpty(); }, 10000));
  // The last line is searched; the mark loses the control bytes at its ends
  // and keeps, escaped, the one inside.
  EXPECT_EQ(form->Run().PageAddress(), server.BaseUrl().toStdString() +
                                           "/s?q=%E5%9F%8E%E5%B8%82%39%39%39%39%39%20%E8%A1%8C%E4%"
                                           "B8%9A%20%E6%89%8B%01%E6%9C%BA&pn=1");
  Find<QToolButton>(*form, "stopButton")->click();
}

TEST_F(Window, AboutBoxOpensModallyWhileARunGoesOn) {
  auto form = Build();
  Find<QPlainTextEdit>(*form, "keywordEdit")->setPlainText(QStringLiteral("a\nb\nc"));
  Find<QSpinBox>(*form, "speedSpin")->setValue(3);
  Find<QToolButton>(*form, "searchButton")->click();
  bool shownModal = false;
  QTimer::singleShot(0, form.get(), [&] {
    shownModal = form->About()->isVisible() && form->About()->isModal();
    // The run's ticks go on under the modal box and harvest pages.
    WaitUntil([&] { return form->Run().BuyerCounter() >= 2; }, 15000);
    form->About()->close();
  });
  EXPECT_EQ(form->Run().BuyerCounter(), 0);
  Find<QToolButton>(*form, "aboutButton")->click();
  EXPECT_TRUE(shownModal);
  EXPECT_GE(form->Run().BuyerCounter(), 2);
  Find<QToolButton>(*form, "stopButton")->click();
}

TEST_F(Window, LinksOpenThroughTheDesktop) {
  auto form = Build();
  Find<QToolButton>(*form, "homeButton")->click();
  form->WriteToUs();
  EXPECT_EQ(opened, (QStringList{QStringLiteral("https://brivano.example/"),
                                 QStringLiteral("mailto:support@brivano.example")}));
}

// SIGTERM (a logout, a shutdown), SIGHUP and SIGINT close the program as a
// confirmed close does, without the question: the keyword box typed since
// the start is saved, idle or during a run. The child says when its window
// stands (and its run goes), and the test then waits for it to end.
TEST(ExitSignals, SaveTheKeywordBox) {
  const QString child =
      QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath() + "/brivano-exit-signal-child";
  struct Case {
    const char* mode;
    int signal;
  } cases[] = {{"idle", SIGTERM}, {"run", SIGTERM}, {"idle", SIGHUP}, {"run", SIGINT}};
  const QString typed = QStringLiteral("深圳 旅行社\n typed since the start");
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.mode) + " " + strsignal(c.signal));
    TempDir folder;
    QProcess process;
    process.start(child, {QString::fromStdString(folder.path().string()), c.mode, typed});
    ASSERT_TRUE(process.waitForStarted(30000));
    QByteArray said;
    while (!said.contains("ready\n") && process.waitForReadyRead(60000)) {
      said += process.readAllStandardOutput();
    }
    ASSERT_TRUE(said.contains("ready\n")) << process.readAllStandardError().toStdString();
    ::kill(static_cast<pid_t>(process.processId()), c.signal);
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    EXPECT_EQ(ReadFileBytes(folder.path() / "brivanobody.ini"),
              Utf8ToGbk("深圳 旅行社\r\n typed since the start"));
    // A close writes the keyword store alone, also during a run.
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "brivano.ini"));
  }
}

TEST_F(Window, ACrashedRunComesBackAndTheListSavesForExcel) {
  {
    auto store = HarvestStore::Open(folder.path() / "brivano.db");
    const std::int64_t run = store.store->BeginRun({"360", ContactKind::Mobile, ""});
    store.store->AddPage(run, {2,
                               Utf8ToGbk("深圳 旅行社"),
                               "360",
                               1,
                               "https://www.so.com/s?q=x",
                               "2026-12-07T10:00:00Z",
                               {{"13800000001", ContactKind::Mobile}}});
  }  // killed before the run ended
  dialogs.askAnswers = {true};
  auto form = Build();
  ASSERT_TRUE(dialogs.shown.contains(QStringLiteral(
      "ask:"
      "上次搜索意外中断，已采集1条买家信息。\n是否恢复这些买家信息，并从第2行关键词继续搜索？")));
  EXPECT_EQ(form->Run().Buyers().size(), 1u);
  EXPECT_EQ(form->Run().StartLine(), 2);

  const std::string row =
      "13800000001,手机,深圳 旅行社,360,1,https://www.so.com/s?q=x,2026-12-07T10:00:00Z";
  dialogs.saveAnswers = {QString::fromStdString((folder.path() / "leads.csv").string()),
                         QString::fromStdString((folder.path() / "leads.xlsx").string())};
  Find<QToolButton>(*form, "saveButton")->click();
  EXPECT_EQ(ReadFileBytes(folder.path() / "leads.csv"),
            "\xEF\xBB\xBF联系方式,类型,关键词,搜索引擎,页码,来源网址,时间\r\n" + row + "\r\n");
  Find<QToolButton>(*form, "saveButton")->click();
  // The workbook's text cells, read back by Python's standard library.
  const std::string script =
      "import sys,zipfile,re;z=zipfile.ZipFile(sys.argv[1]);"
      "print('|'.join(re.findall(r'<t[^>]*>([^<]*)</t>',z.read('xl/worksheets/"
      "sheet1.xml').decode())))";
  const std::string command = "python3 -c " + ShellQuote(script) + " " +
                              ShellQuote((folder.path() / "leads.xlsx").string()) + " 2>&1";
  std::string cells;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, pipe)) cells += buffer;
    pclose(pipe);
  }
  EXPECT_NE(
      cells.find("联系方式|类型|关键词|搜索引擎|页码|来源网址|时间|13800000001|手机|深圳 旅行社"),
      std::string::npos)
      << cells;

  // 搜索 goes on with the restored list, from the line offered.
  Find<QPlainTextEdit>(*form, "keywordEdit")->setPlainText(QStringLiteral("a\nb"));
  Find<QSpinBox>(*form, "pageLimitSpin")->setValue(1);
  dialogs.inputAnswers = {QStringLiteral("2")};
  form->StartRun();
  ASSERT_TRUE(WaitUntil([&] { return form->Controls().SearchEnabled(); }, 60000));
  ASSERT_EQ(form->Run().Buyers().size(), 2u);
  EXPECT_EQ(form->Run().Buyers().items()[0].caption, "13800000001");
  EXPECT_EQ(form->Recorder().Rows().size(), 2u);
}

// SIGKILL at random moments of a run: the store always opens whole and holds
// every value of every page the program said it had committed.
void KillDuringRuns(int kills) {
  const QString child =
      QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath() + "/brivano-exit-signal-child";
  const unsigned seed = std::random_device{}();
  std::mt19937 random(seed);
  QStringList keywords;
  for (int k = 1; k <= 40; ++k) keywords << QStringLiteral("k%1").arg(k);
  for (int kill = 0; kill < kills; ++kill) {
    SCOPED_TRACE("seed " + std::to_string(seed) + ", kill " + std::to_string(kill));
    TempDir folder;
    QProcess process;
    process.start(child, {QString::fromStdString(folder.path().string()), QStringLiteral("harvest"),
                          keywords.join(QLatin1Char('\n'))});
    ASSERT_TRUE(process.waitForStarted(30000));
    // Kill after a random number of committed pages, at a random moment of
    // the page after it.
    const int pages = static_cast<int>(random() % 4);
    QByteArray said;
    while (said.count("committed") < pages && process.waitForReadyRead(60000)) {
      said += process.readAllStandardOutput();
    }
    QTest::qWait(static_cast<int>(random() % 800));
    ::kill(static_cast<pid_t>(process.processId()), SIGKILL);
    ASSERT_TRUE(process.waitForFinished(30000));
    said += process.readAllStandardOutput();

    auto opened = HarvestStore::Open(folder.path() / "brivano.db");
    if (said.count("committed") == 0 && !opened.store) continue;  // killed before any page
    ASSERT_TRUE(opened.store) << opened.error;
    EXPECT_EQ(opened.store->connection().QueryInt64("SELECT count(*) FROM pragma_quick_check "
                                                    "WHERE quick_check <> 'ok'"),
              0);
    EXPECT_GE(opened.store->ItemCount(), said.count("committed")) << said.toStdString();
  }
}

TEST(HarvestStoreKill, AKilledRunLosesNoCommittedPage) {
  KillDuringRuns(5);
}

TEST(HarvestStoreKill, DISABLED_FiftyKills) {
  KillDuringRuns(50);
}

}  // namespace
}  // namespace brivano::testing
