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
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <filesystem>

#include "app/tform1.h"
#include "app/tform2.h"
#include "engine_server.h"
#include "base/text.h"
#include "app/tform3.h"
#include "qt_application.h"
#include "scripted_dialogs.h"
#include "support/cli_runner.h"
#include "test_window_options.h"

namespace brivano::testing {
namespace {

class MainWindow : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { EnsureQtApplication(); }

  std::unique_ptr<TForm1> Build() {
    TForm1Options options = TestWindowOptions(server, dialogs, folder);
    options.openUrl = [this](const QString& url) { opened << url; };
    auto form = std::make_unique<TForm1>(options);
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

TEST_F(MainWindow, FirstStartShowsTheDefaults) {
  auto form = Build();
  EXPECT_TRUE(
      form->windowTitle().startsWith(QStringLiteral("『Brivano』 V1.0") + QString(53, ' ')));
  EXPECT_EQ(form->size(), QSize(938, 659));
  EXPECT_EQ(form->Memo2()->toPlainText().split('\n'), TForm1::BuiltInKeywords());
  EXPECT_EQ(form->KeywordLineCount(), 11);
  EXPECT_EQ(form->SpinEdit1()->value(), 8);
  EXPECT_EQ(form->SpinEdit2()->value(), 10);
  EXPECT_FALSE(form->CheckBox1()->isChecked());
  EXPECT_FALSE(form->CheckBox2()->isChecked());
  EXPECT_TRUE(form->RadioButton(1)->isChecked());
  EXPECT_TRUE(form->RadioButton(7)->isChecked());
  const char* marks[] = {"手机:", "邮箱:", "QQ:", "传真:"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(form->Edit(i + 1)->text(), QString::fromUtf8(marks[i]));
  EXPECT_EQ(form->ListView1()->model()->rowCount(), 0);
  EXPECT_EQ(form->ListView1()->model()->headerData(0, Qt::Horizontal).toString(),
            QString(21, ' ') + QStringLiteral("买家数据显示区"));
  const char* labels[] = {"关键词总数：", "", "第几关键词：", "",
                          "搜索第几页",   "", "买家信息数：", ""};
  for (int i = 0; i < 8; ++i)
    EXPECT_EQ(form->StatusPanel(i)->text(), QString::fromUtf8(labels[i])) << i;
  EXPECT_EQ(form->Memo2()->toolTip(),
            QStringLiteral("请在此输入买家所在的城市和行业，用空格符号分隔"));

  struct Button {
    int number;
    const char* caption;
    const char* tooltip;
  } buttons[] = {
      {2, "搜索", "开始定向搜索"}, {3, "终止", "终止定向搜索"}, {5, "保存", "保存搜索结果"},
      {8, "进程", "保存搜索进程"}, {6, "创建", "创建搜索文件"}, {1, "合并", "合并文件去重"},
      {4, "主页", "访问软件网站"}, {9, "关于", "关于本软件"},   {10, "退出", "退出软件系统"}};
  int lastX = -1;
  for (const auto& b : buttons) {
    QToolButton* button = form->SpeedButton(b.number);
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

TEST_F(MainWindow, StartWithStoredFiles) {
  folder.Write("brivano.ini", Utf8ToGbk("[config]\r\nspeed=5000\r\nmaxpage=0\r\nprocess=3\r\n"
                                        "quchong=2\r\nautosave=256\r\ninfo=qq\r\nsearch=biying\r\n"
                                        "markmob= \"手机号\" \r\nmarkfax=FAX\r\n"));
  folder.Write("brivanobody.ini", Utf8ToGbk("杭州 茶叶\n成都 火锅\r\n"));
  auto form = Build();
  EXPECT_EQ(form->SpinEdit1()->value(), 1000);
  EXPECT_EQ(form->SpinEdit2()->value(), 1);
  EXPECT_EQ(form->Run().StartLine(), 3);
  EXPECT_TRUE(form->CheckBox1()->isChecked());
  EXPECT_FALSE(form->CheckBox2()->isChecked());
  EXPECT_TRUE(form->RadioButton(3)->isChecked());
  EXPECT_TRUE(form->RadioButton(8)->isChecked());
  EXPECT_EQ(form->Edit(1)->text(), QStringLiteral("手机号"));
  EXPECT_EQ(form->Edit(2)->text(), QStringLiteral("邮箱:"));
  EXPECT_EQ(form->Edit(4)->text(), QStringLiteral("FAX"));
  EXPECT_EQ(form->Memo2()->toPlainText(), QStringLiteral("杭州 茶叶\n成都 火锅\n"));
  EXPECT_EQ(form->KeywordLineCount(), 2);
}

TEST_F(MainWindow, GarbageSettingsGiveTheDefaults) {
  std::string garbage;
  for (int i = 0; i < 5000; ++i) garbage.push_back(static_cast<char>((i * 7919) % 256));
  folder.Write("brivano.ini", garbage);
  auto form = Build();
  EXPECT_EQ(form->SpinEdit1()->value(), 8);
  EXPECT_TRUE(form->RadioButton(7)->isChecked());
}

TEST_F(MainWindow, ControlStatesThroughARun) {
  auto form = Build();
  auto others = [&] {
    return form->Memo2()->isEnabled() && form->SpinEdit1()->isEnabled() &&
           form->CheckBox1()->isEnabled() && form->Edit(1)->isEnabled() &&
           form->SpeedButton(5)->isEnabled() && form->SpeedButton(1)->isEnabled() &&
           form->SpeedButton(10)->isEnabled();
  };
  // Idle after start-up: 终止 is enabled but does nothing.
  EXPECT_TRUE(form->SpeedButton(2)->isEnabled());
  EXPECT_TRUE(form->SpeedButton(3)->isEnabled());
  const QString designText = form->StatusPanel(8)->text();
  form->SpeedButton(3)->click();
  EXPECT_EQ(form->StatusPanel(8)->text(), designText);
  EXPECT_TRUE(form->Panel5()->isEnabled());

  form->Memo2()->setPlainText(QStringLiteral("a\nb"));
  form->SpeedButton(2)->click();
  EXPECT_FALSE(form->SpeedButton(2)->isEnabled());
  EXPECT_TRUE(form->SpeedButton(3)->isEnabled());
  EXPECT_FALSE(form->Panel5()->isEnabled());
  EXPECT_FALSE(form->Panel6()->isEnabled());
  EXPECT_TRUE(others());

  form->SpeedButton(3)->click();  // 终止
  EXPECT_TRUE(form->SpeedButton(2)->isEnabled());
  EXPECT_FALSE(form->SpeedButton(3)->isEnabled());
  EXPECT_TRUE(form->Panel5()->isEnabled());
  EXPECT_TRUE(others());
  ASSERT_TRUE(WaitUntil(
      [&] { return form->StatusPanel(8)->text() == QStringLiteral("搜索已经结束！"); }, 20000));
  EXPECT_FALSE(form->SpeedButton(3)->isEnabled());
  EXPECT_TRUE(others());
}

TEST_F(MainWindow, ExitQuestion) {
  auto form = Build();
  dialogs.confirmExit = false;
  EXPECT_FALSE(form->close());
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(dialogs.shown.back(), QStringLiteral("confirm-exit"));
  EXPECT_TRUE(FilesInFolder().empty());  // 否 writes nothing

  dialogs.confirmExit = true;
  form->SpeedButton(10)->click();
  EXPECT_FALSE(form->isVisible());
}

TEST_F(MainWindow, ClosingDuringARunWritesOnlyTheKeywordStore) {
  auto form = Build();
  form->Memo2()->setPlainText(QStringLiteral("a\nb\nc"));
  form->SpeedButton(2)->click();
  Pump(300);
  form->close();
  form.reset();
  EXPECT_EQ(FilesInFolder(), std::vector<std::string>{"brivanobody.ini"});
  EXPECT_EQ(ReadFileBytes(folder.path() / "brivanobody.ini"), "a\r\nb\r\nc");
}

TEST_F(MainWindow, SaveAndProgressCommands) {
  auto form = Build();
  form->SpeedButton(5)->click();  // empty list: no dialog
  EXPECT_TRUE(dialogs.fileRequests.empty());

  form->SpeedButton(8)->click();  // 进程 with an empty list
  EXPECT_EQ(dialogs.shown.back(), QStringLiteral("message:已经保存当前网络搜索进程！"));
  EXPECT_EQ(FilesInFolder(), std::vector<std::string>{"brivano.ini"});

  form->Run().AddBuyerItem("13800000000", ContactKind::Mobile);
  form->Run().AddBuyerItem("13900000000", ContactKind::Mobile);
  const auto target = folder.path() / "out.txt";
  dialogs.saveAnswers = {QString::fromStdString(target.string())};
  form->SpeedButton(5)->click();
  ASSERT_EQ(dialogs.fileRequests.size(), 1u);
  const FileDialogRequest& request = dialogs.fileRequests[0];
  EXPECT_EQ(request.title, QStringLiteral("搜索结果保存为"));
  EXPECT_EQ(request.filter, QStringLiteral("Text files(*.txt)|*.txt|All files(*.*)|*.*"));
  EXPECT_EQ(request.defaultSuffix, QStringLiteral("txt"));
  EXPECT_EQ(request.proposedName, QStringLiteral("2.txt"));
  EXPECT_EQ(request.initialFolder.toStdString(), folder.path().string());
  EXPECT_EQ(ReadFileBytes(target), "13800000000\r\n13900000000\r\n");
}

TEST_F(MainWindow, MergeThroughItsDialogs) {
  auto form = Build();
  const auto a = folder.Write("a.txt", "b\r\na\r\nb\r\nA");
  const auto out = folder.path() / "merged.txt";
  dialogs.openAnswers = {QStringList{QString::fromStdString(a.string())}};
  dialogs.saveAnswers = {QString::fromStdString(out.string())};
  form->SpeedButton(1)->click();
  EXPECT_EQ(dialogs.fileRequests.at(0).title, QStringLiteral("选择待合并的数据文件"));
  EXPECT_EQ(dialogs.fileRequests.at(1).title, QStringLiteral("合并后的数据文件保存为"));
  EXPECT_EQ(form->StatusPanel(8)->text(), QStringLiteral("文件合并去重完毕！共计：2"));
  EXPECT_EQ(ReadFileBytes(out), "a\r\nb\r\n");
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // the busy cursor is gone

  dialogs.openAnswers = {QStringList{QStringLiteral("/nonexistent/in.txt")}};
  dialogs.saveAnswers = {QString::fromStdString(out.string())};
  form->SpeedButton(1)->click();
  EXPECT_TRUE(dialogs.shown.back().startsWith(
      QStringLiteral("error:Cannot open file \"/nonexistent/in.txt\"")));
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(ReadFileBytes(out), "a\r\nb\r\n");
}

TEST_F(MainWindow, GeneratorKeepsItsBoxesBetweenOpenings) {
  auto form = Build();
  TForm3* generator = form->Generator();
  EXPECT_EQ(generator->windowTitle(), QStringLiteral("创建关键词列表文件"));
  EXPECT_EQ(generator->size(), QSize(370, 386));
  QTimer::singleShot(0, generator, [generator] {
    generator->SpeedButton2Click();
    generator->SpeedButton2Click();  // twice gives the same 36 lines
    generator->Memo1()->setPlainText(QStringLiteral("杭州"));
    generator->close();
  });
  form->SpeedButton(6)->click();  // modal until the window closes
  const QStringList lines = generator->Memo3()->toPlainText().split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(lines.size(), 36);
  EXPECT_EQ(lines.front(), QStringLiteral("广州 旅行社"));
  EXPECT_EQ(lines.back(), QStringLiteral("南京 电器"));

  QTimer::singleShot(0, generator, [generator] { generator->close(); });
  form->SpeedButton(6)->click();
  EXPECT_EQ(generator->Memo1()->toPlainText(), QStringLiteral("杭州"));
  EXPECT_EQ(generator->Memo3()->toPlainText().count('\n'), 36);

  const auto target = folder.path() / "keywords.txt";
  dialogs.saveAnswers = {QString::fromStdString(target.string())};
  generator->SpeedButton1Click();
  EXPECT_EQ(dialogs.fileRequests.back().proposedName, QStringLiteral("搜索关键词列表文件.txt"));
  const std::string saved = ReadFileBytes(target);
  EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 36);
  EXPECT_TRUE(saved.starts_with(Utf8ToGbk("广州 旅行社\r\n")));
}

TEST_F(MainWindow, HugeKeywordBoxAndControlCharactersInMarks) {
  auto form = Build();
  QStringList keywords;
  for (int i = 0; i < 100000; ++i) keywords << QStringLiteral("城市%1 行业").arg(i);
  form->Memo2()->setPlainText(keywords.join('\n'));
  EXPECT_EQ(form->KeywordLineCount(), 100000);
  EXPECT_EQ(form->KeywordLine(99999), Utf8ToGbk("城市99999 行业"));
  form->Edit(1)->setText(QStringLiteral("\t手\x01机\x02 "));
  dialogs.inputAnswers = {QStringLiteral("100000")};
  form->SpeedButton(2)->click();
  ASSERT_TRUE(WaitUntil([&] { return !server.Requests().isEmpty(); }, 10000));
  // The last line is searched; the mark loses the control bytes at its ends
  // and keeps, escaped, the one inside.
  EXPECT_EQ(form->Run().PageAddress(), server.BaseUrl().toStdString() +
                                           "/s?q=%E5%9F%8E%E5%B8%82%39%39%39%39%39%20%E8%A1%8C%E4%"
                                           "B8%9A%20%E6%89%8B%01%E6%9C%BA&pn=1");
  form->SpeedButton(3)->click();
}

TEST_F(MainWindow, AboutBoxOpensModallyWhileARunGoesOn) {
  auto form = Build();
  form->Memo2()->setPlainText(QStringLiteral("a\nb\nc"));
  form->SpinEdit1()->setValue(3);
  form->SpeedButton(2)->click();
  bool shownModal = false;
  QTimer::singleShot(0, form.get(), [&] {
    shownModal = form->AboutBox()->isVisible() && form->AboutBox()->isModal();
    // The run's ticks go on under the modal box and harvest pages.
    WaitUntil([&] { return form->Run().BuyerCounter() >= 2; }, 15000);
    form->AboutBox()->close();
  });
  EXPECT_EQ(form->Run().BuyerCounter(), 0);
  form->SpeedButton(9)->click();
  EXPECT_TRUE(shownModal);
  EXPECT_GE(form->Run().BuyerCounter(), 2);
  form->SpeedButton(3)->click();
}

TEST_F(MainWindow, LinksOpenThroughTheDesktop) {
  auto form = Build();
  form->SpeedButton(4)->click();
  form->N14Click();
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

}  // namespace
}  // namespace brivano::testing
