// The main window as a user meets it: defaults, loaded settings, the control
// states of a run, the exit question, the file commands and the generator.
#include <gtest/gtest.h>
#include <signal.h>

#include <cstring>

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <filesystem>
#include <map>
#include <random>

#include "app/about_box.h"
#include "app/chinese_translations.h"
#include "app/keyword_generator_window.h"
#include "app/main_window.h"
#include "base/local_time.h"
#include "base/text.h"
#include "store/harvest_store.h"
#include "testing/cli_runner.h"
#include "testing/gui/engine_server.h"
#include "testing/gui/qt_application.h"
#include "testing/gui/scripted_dialogs.h"
#include "testing/gui/test_window_options.h"
#include "testing/gui/widget_lookup.h"
#include "testing/store_pages.h"

namespace brivano::testing {
namespace {

class Window : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { EnsureQtApplication(); }

  // `throughDesktop`: addresses go to QDesktopServices instead of `opened`.
  std::unique_ptr<MainWindow> Build(bool throughDesktop = false) {
    MainWindowOptions options = TestWindowOptions(server, dialogs, folder);
    if (!throughDesktop) options.openUrl = [this](const QString& url) { opened << url; };
    options.documentsFolder = Documents();
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

  QString Documents() const { return QString::fromStdString(documents.path().string()); }

  TempDir folder;
  TempDir documents;
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
      {"keywordCountCaption", "关键词总数："}, {"keywordCountPanel", "11"},
      {"keywordLineCaption", "第几关键词："},  {"keywordLinePanel", ""},
      {"pageCaption", "搜索第几页"},           {"pagePanel", ""},
      {"buyerCountCaption", "买家信息数："},   {"buyerCountPanel", "0"}};
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
  // The status bar counts from the start, and follows the list as it is edited.
  EXPECT_EQ(Find<QLabel>(*form, "keywordCountPanel")->text(), QStringLiteral("2"));
  EXPECT_EQ(Find<QLabel>(*form, "buyerCountPanel")->text(), QStringLiteral("0"));
  Find<QPlainTextEdit>(*form, "keywordEdit")
      ->setPlainText(QStringLiteral("杭州 茶叶\n成都 火锅\n上海 酒店"));
  EXPECT_EQ(Find<QLabel>(*form, "keywordCountPanel")->text(), QStringLiteral("3"));
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

TEST_F(Window, ClosingKeepsTheKeywordsAndTheSettings) {
  for (const bool running : {false, true}) {
    SCOPED_TRACE(running ? "during a run" : "idle");
    for (const std::string& name : FilesInFolder()) std::filesystem::remove(folder.path() / name);
    auto form = Build();
    Find<QPlainTextEdit>(*form, "keywordEdit")->setPlainText(QStringLiteral("a\nb\nc"));
    Find<QSpinBox>(*form, "pageLimitSpin")->setValue(3);
    if (running) {
      Find<QToolButton>(*form, "searchButton")->click();
      Pump(300);
    } else {
      Find<QSpinBox>(*form, "speedSpin")->setValue(15);
    }
    form->close();
    form.reset();
    // The run has made the harvest store (its first page would come with the
    // first tick, 2 s in, after the close); no auto-save file is written.
    std::vector<std::string> written = {"brivano-window.ini", "brivano.ini", "brivanobody.ini"};
    if (running) written.insert(written.begin() + 1, "brivano.db");
    EXPECT_EQ(FilesInFolder(), written);
    EXPECT_EQ(ReadFileBytes(folder.path() / "brivanobody.ini"), "a\r\nb\r\nc");
    const std::string settings = ReadFileBytes(folder.path() / "brivano.ini");
    EXPECT_NE(settings.find("maxpage=3\r\n"), std::string::npos) << settings;
    if (!running) {
      EXPECT_NE(settings.find("speed=15\r\n"), std::string::npos) << settings;
    }
  }
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
  EXPECT_EQ(request.filter, QStringLiteral("文本文件|*.txt|CSV (UTF-8，Excel 可直接打开)|*.csv|"
                                           "Excel 工作簿|*.xlsx|所有文件|*"));
  EXPECT_EQ(request.defaultSuffix, QStringLiteral("txt"));
  EXPECT_EQ(request.proposedName, QStringLiteral("2.txt"));
  EXPECT_EQ(request.initialFolder, Documents());
  EXPECT_EQ(ReadFileBytes(target), "13800000000\r\n13900000000\r\n");
  EXPECT_EQ(Find<QLabel>(*form, "messagePanel")->text(),
            QStringLiteral("已保存 2 条到 ") + QString::fromStdString(target.string()));
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
      QStringLiteral("error:无法打开文件“/nonexistent/in.txt”：没有那个文件或目录")));
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
  EXPECT_EQ(dialogs.shown.back(), QStringLiteral("message:已保存 36 个关键词到 ") +
                                      QString::fromStdString(target.string()));
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

// Without a browser or mail program (the offscreen platform has neither),
// the status bar says what could not be opened.
TEST_F(Window, AddressesThatNothingOpensAreNamedInTheStatusBar) {
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) {
    GTEST_SKIP() << "a desktop might open the address";
  }
  auto form = Build(/*throughDesktop=*/true);
  const std::pair<void (MainWindow::*)(), const char*> cases[] = {
      {&MainWindow::OpenHomePage, "无法打开主页：没有可用的网页浏览器（https://brivano.example/）"},
      {&MainWindow::WriteToUs, "无法写邮件：没有可用的邮件程序（mailto:support@brivano.example）"}};
  for (const auto& [command, message] : cases) {
    ((*form).*command)();
    EXPECT_EQ(Find<QLabel>(*form, "messagePanel")->text(), QString::fromUtf8(message));
  }
}

std::string Name(const QWidget* control) {
  const QString name = control->objectName();
  return (name.isEmpty() ? control->property("text").toString() : name).toStdString();
}

// Every control shows whole, beside its neighbours, from the smallest size
// the window takes, which fits an 800×600 screen with room for a panel, to a
// full-HD screen, and the buyer list and the browser pane take the room
// beyond the first-start size.
TEST_F(Window, ControlsShowWholeAtEverySizeAndTheListsTakeTheRoom) {
  auto form = Build();
  auto* list = Find<QTableView>(*form, "buyerList");
  auto* browser = Find<QWidget>(*form, "browserView");
  auto resizeTo = [&](QSize size) {
    form->resize(size);
    WaitUntil([&] { return form->size() == size.expandedTo(form->minimumSize()); }, 5000);
    QCoreApplication::processEvents();
  };
  resizeTo(QSize(1, 1));
  const QSize smallest = form->size();
  EXPECT_EQ(smallest, form->minimumSize()) << "the window shrinks no further";
  EXPECT_LE(smallest.width(), 800);
  EXPECT_LE(smallest.height(), 560);
  QSize listBefore;
  QSize browserBefore;
  int firstStartRows = 0;
  for (const QSize size :
       {smallest, QSize(800, 600), QSize(938, 659), QSize(1280, 800), QSize(1920, 1080)}) {
    SCOPED_TRACE(std::to_string(size.width()) + "x" + std::to_string(size.height()));
    resizeTo(size);
    ASSERT_EQ(form->size(), size);
    std::map<QWidget*, std::vector<QWidget*>> byPanel;
    for (QWidget* control : form->findChildren<QWidget*>()) {
      const bool shown =
          control->isVisible() && !control->objectName().startsWith("qt_") &&
          (qobject_cast<QLabel*>(control) || qobject_cast<QAbstractButton*>(control) ||
           qobject_cast<QLineEdit*>(control) || qobject_cast<QSpinBox*>(control));
      if (!shown || control->objectName() == QLatin1String("messagePanel")) continue;
      SCOPED_TRACE(Name(control));
      // A control of a fixed size (the tool buttons) is tested for it.
      if (control->minimumSize() != control->maximumSize()) {
        EXPECT_GE(control->width(), control->minimumSizeHint().width());
        EXPECT_GE(control->height(), control->minimumSizeHint().height());
      }
      if (auto* label = qobject_cast<QLabel*>(control)) {
        EXPECT_GE(label->contentsRect().width(),
                  label->fontMetrics().horizontalAdvance(label->text()));
      }
      // No panel between the control and the window cuts any of it off.
      for (QWidget* inner = control; inner != form.get(); inner = inner->parentWidget()) {
        const QRect place(control->mapTo(inner->parentWidget(), QPoint(0, 0)), control->size());
        EXPECT_TRUE(inner->parentWidget()->rect().contains(place))
            << "cut by " << Name(inner->parentWidget());
      }
      for (QWidget* neighbour : byPanel[control->parentWidget()]) {
        EXPECT_FALSE(control->geometry().intersects(neighbour->geometry())) << Name(neighbour);
      }
      byPanel[control->parentWidget()].push_back(control);
    }
    // The two columns span the list.
    EXPECT_EQ(list->horizontalHeader()->sectionSize(0) + list->horizontalHeader()->sectionSize(1),
              list->viewport()->width());
    EXPECT_GE(list->height(), listBefore.height());
    EXPECT_GE(browser->width(), browserBefore.width());
    EXPECT_GE(browser->height(), browserBefore.height());
    listBefore = list->size();
    browserBefore = browser->size();
    if (size == QSize(938, 659)) firstStartRows = list->viewport()->height();
  }
  // At full HD the list shows half as many rows again as at the first start.
  EXPECT_GT(list->viewport()->height(), firstStartRows * 3 / 2);
}

// A state in the window's own file brings the window back maximised; none,
// or one that cannot be read, gives the first-start size.
TEST_F(Window, TheNextStartRestoresTheWindow) {
  struct Case {
    const char* name;
    std::string file;  // written before the start; empty: none
    bool maximised;
  } cases[] = {{"none", "", false},
               {"damaged", "[window]\r\ngeometry=@@not base64@@\r\n", false},
               {"left maximised", "", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (!c.file.empty()) folder.Write("brivano-window.ini", c.file);
    if (c.maximised) {
      auto first = Build();
      first->showMaximized();
    }
    auto form = Build();
    EXPECT_EQ(form->isMaximized(), c.maximised);
    if (!c.maximised) {
      EXPECT_EQ(form->size(), QSize(938, 659));
    }
    std::filesystem::remove(folder.path() / "brivano-window.ini");
  }
}

// 保存, 合并 and the generator's 保存 each propose the documents folder the
// first time and the folder they last used after that, across starts; a
// folder that is gone gives the documents folder again. Folder names are
// kept whole: Chinese, and with a blank at the end.
TEST_F(Window, EachFileDialogProposesTheFolderItLastUsed) {
  const std::filesystem::path results = folder.path() / "结果";
  const std::filesystem::path merged = folder.path() / "merged";
  const std::filesystem::path lists = folder.path() / "lists ";
  for (const auto& place : {results, merged, lists}) std::filesystem::create_directory(place);
  const auto input = folder.Write("merged/in.txt", "a\r\n");
  auto text = [](const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
  };
  // Each dialog once: the folders proposed to 保存, 合并's two dialogs and
  // the generator's 保存.
  auto proposals = [&](MainWindow& form) {
    dialogs.fileRequests.clear();
    form.Run().AddBuyerItem("13800000000", ContactKind::Mobile);
    dialogs.saveAnswers = {text(results / "out.txt"), text(merged / "all.txt"),
                           text(lists / "keywords.txt")};
    dialogs.openAnswers = {QStringList{text(input)}};
    Find<QToolButton>(form, "saveButton")->click();
    Find<QToolButton>(form, "mergeButton")->click();
    form.Generator()->SaveList();
    QStringList folders;
    for (const FileDialogRequest& request : dialogs.fileRequests) folders << request.initialFolder;
    return folders;
  };
  EXPECT_EQ(proposals(*Build()),
            (QStringList{Documents(), Documents(), text(merged), Documents()}));
  EXPECT_EQ(proposals(*Build()),
            (QStringList{text(results), text(merged), text(merged), text(lists)}));
  std::filesystem::remove_all(lists);
  EXPECT_EQ(Build()->Memory().ProposedFolder(DialogFolder::Generator), Documents());
}

// Lets `inspect` look at the modal dialog that `show` opens, then closes it.
template <typename Dialog>
void Inspect(const std::function<void()>& show, const std::function<void(Dialog&)>& inspect) {
  bool seen = false;
  QTimer::singleShot(0, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* dialog = qobject_cast<Dialog*>(modal)) {
      inspect(*dialog);
      seen = true;
    }
    if (modal != nullptr) modal->close();
  });
  show();
  EXPECT_TRUE(seen);
}

// Qt's own dialogs speak Chinese whatever the locale once the program's
// translations are in; a filter shows its patterns once, also where its
// description holds them already.
TEST(QtDialogs, FileDialogsSpeakChineseAndShowEachFilterOnce) {
  EnsureQtApplication();
  ASSERT_TRUE(InstallChineseTranslations(*QCoreApplication::instance()));
  EXPECT_EQ(QLocale().name(), QStringLiteral("zh_CN"));
  QtUserDialogs real;
  FileDialogRequest request;
  request.filter = QStringLiteral("文本文件|*.txt|Excel 工作簿 (*.xlsx)|*.xlsx|所有文件|*");
  Inspect<QFileDialog>(
      [&] { EXPECT_EQ(real.SaveFileName(nullptr, request), std::nullopt); },
      [](QFileDialog& dialog) {
        EXPECT_EQ(dialog.nameFilters(), (QStringList{QStringLiteral("文本文件 (*.txt)"),
                                                     QStringLiteral("Excel 工作簿 (*.xlsx)"),
                                                     QStringLiteral("所有文件 (*)")}));
        auto* buttons = dialog.findChild<QDialogButtonBox*>();
        ASSERT_NE(buttons, nullptr);
        EXPECT_EQ(buttons->button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
        EXPECT_EQ(Find<QLabel>(dialog, "lookInLabel")->text(), QStringLiteral("查找范围："));
      });
}

// Every box is wide enough for its title beside the window manager's
// buttons, however short its text.
TEST(QtDialogs, BoxesLeaveTheirTitleWhole) {
  EnsureQtApplication();
  QtUserDialogs real;
  const QString text = QStringLiteral("好");
  const std::pair<std::function<void()>, QString> boxes[] = {
      {[&] { real.Information(nullptr, text); }, QStringLiteral("信息")},
      {[&] { real.Error(nullptr, text); }, ApplicationTitle()},
      {[&] { real.Message(nullptr, text); }, ApplicationTitle()},
      {[&] { real.Ask(nullptr, text); }, ApplicationTitle()},
      {[&] { real.ConfirmExit(nullptr); }, QStringLiteral("确认")}};
  for (const auto& [show, title] : boxes) {
    SCOPED_TRACE(title.toStdString());
    Inspect<QMessageBox>(show, [&title](QMessageBox& box) {
      EXPECT_EQ(box.windowTitle(), title);
      EXPECT_GE(box.width(), QFontMetrics(box.font()).horizontalAdvance(title) + 100);
    });
  }
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
    // The settings are kept as at a confirmed close, also during a run.
    EXPECT_TRUE(std::filesystem::exists(folder.path() / "brivano.ini"));
  }
}

TEST_F(Window, ACrashedRunComesBackAndTheListSavesForExcel) {
  {
    auto store = HarvestStore::Open(folder.path() / "brivano.db");
    const std::int64_t run = store.store->BeginRun({"360", ContactKind::Mobile, ""});
    store.store->AddPage(run, StorePage({.keywordLine = 2,
                                         .keyword = Utf8ToGbk("深圳 旅行社"),
                                         .engine = "360",
                                         .page = 1,
                                         .pageUrl = "https://www.so.com/s?q=x",
                                         .timeUtc = "2026-12-07T10:00:00Z"},
                                        {{"13800000001", ContactKind::Mobile, {}}}));
  }  // killed before the run ended
  dialogs.askAnswers = {true};
  auto form = Build();
  ASSERT_TRUE(dialogs.shown.contains(
      QStringLiteral("ask:上次搜索意外中断，已采集1条买家信息。\n是否恢复这些买家信息？"
                     "恢复后点击“搜索”，从第2行关键词继续搜索。")));
  EXPECT_EQ(form->Run().Buyers().size(), 1u);
  EXPECT_EQ(form->Run().StartLine(), 2);
  EXPECT_EQ(Find<QLabel>(*form, "buyerCountPanel")->text(), QStringLiteral("1"));

  // The exports' own tests hold the clock's conversion; here the window's
  // save must go through it.
  const std::string row = "13800000001,手机,深圳 旅行社,360,1,https://www.so.com/s?q=x," +
                          LocalTimeText(*LocalTimeOfUtc("2026-12-07T10:00:00Z"));
  dialogs.saveAnswers = {QString::fromStdString((folder.path() / "leads.csv").string()),
                         QString::fromStdString((folder.path() / "leads.xlsx").string())};
  Find<QToolButton>(*form, "saveButton")->click();
  EXPECT_EQ(ReadFileBytes(folder.path() / "leads.csv"),
            "\xEF\xBB\xBF联系方式,类型,关键词,搜索引擎,页码,来源网址,时间,公司,标题,网站,目标网址,"
            "来源标题\r\n" +
                row + ",,,,,\r\n");
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
  EXPECT_NE(cells.find(
                "联系方式|类型|关键词|搜索引擎|页码|来源网址|时间|公司|标题|网站|目标网址|来源标题|"
                "13800000001|手机|深圳 旅行社"),
            std::string::npos)
      << cells;

  // 搜索 goes on with the restored list, from the line offered.
  Find<QPlainTextEdit>(*form, "keywordEdit")->setPlainText(QStringLiteral("a\nb"));
  Find<QSpinBox>(*form, "pageLimitSpin")->setValue(1);
  dialogs.inputAnswers = {QStringLiteral("2")};
  form->StartRun();
  ASSERT_TRUE(WaitUntil([&] { return !form->Run().Active(); }, 60000));
  ASSERT_EQ(form->Run().Buyers().size(), 2u);
  EXPECT_EQ(form->Run().Buyers().items()[0].value, "13800000001");
  // The restored value keeps its page, and the new one has its own.
  EXPECT_EQ(form->Run().Buyers()[0].source->pageUrl, "https://www.so.com/s?q=x");
  ASSERT_TRUE(form->Run().Buyers()[1].source);
  EXPECT_EQ(form->Run().Buyers()[1].source->keywordLine, 2);
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
