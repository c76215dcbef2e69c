// brivano-run as a scheduler starts it: the real program, with its settings
// and engines.ini in its own folder pointing at a local server, run as a
// process of its own.
#include <gtest/gtest.h>

#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <csignal>
#include <filesystem>
#include <set>
#include <sstream>

#include "app/main_window.h"
#include "base/text.h"
#include "base/version.h"
#include "store/harvest_store.h"
#include "testing/cli_runner.h"
#include "testing/gui/engine_server.h"
#include "testing/gui/qt_application.h"
#include "testing/gui/scripted_dialogs.h"
#include "testing/gui/test_window_options.h"

namespace brivano::testing {
namespace {

struct Outcome {
  int exitCode = -1;
  std::string errors;  // standard error, UTF-8
};

class BatchRun : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { EnsureQtApplication(); }

  void SetUp() override {
    // A copy of the program in a folder of its own keeps its files there.
    program = folder.path() / "brivano-run";
    std::filesystem::copy_file(BRIVANO_RUN_PROGRAM, program);
    std::string engines;
    for (const char* section : {"baidu", "sogou", "360", "bing"}) {
      engines +=
          std::string("[") + section + "]\r\nhost=" + server.BaseUrl().toStdString() + "\r\n";
    }
    folder.Write("engines.ini", engines);
    folder.Write("brivano.ini", "[config]\r\nspeed=3\r\nmaxpage=2\r\nquchong=1\r\n");
  }

  // Runs the program to its end; `onError` sees standard error as it comes
  // and may act on the process.
  Outcome Run(const QStringList& arguments,
              const std::function<void(QProcess&, const std::string&)>& onError = {}) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // An empty browser storage, as on a machine that never ran the program.
    environment.insert(QStringLiteral("XDG_DATA_HOME"),
                       QString::fromStdString((browserHome.path() / "data").string()));
    environment.insert(QStringLiteral("XDG_CACHE_HOME"),
                       QString::fromStdString((browserHome.path() / "cache").string()));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));  // it sets its own
    process.setProcessEnvironment(environment);
    Outcome outcome;
    QObject::connect(&process, &QProcess::readyReadStandardError, [&] {
      outcome.errors += process.readAllStandardError().toStdString();
      if (onError) onError(process, outcome.errors);
    });
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    // Only a bound for a program that hangs: every run ends by itself.
    QTimer::singleShot(240000, &loop, &QEventLoop::quit);
    process.start(QString::fromStdString(program.string()), arguments);
    loop.exec();
    if (process.state() != QProcess::NotRunning) {
      process.kill();
      process.waitForFinished();
      ADD_FAILURE() << "brivano-run did not end:\n" << outcome.errors;
      return outcome;
    }
    outcome.errors += process.readAllStandardError().toStdString();
    outcome.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return outcome;
  }

  QString Path(const std::string& name) const {
    return QString::fromStdString((folder.path() / name).string());
  }
  std::vector<std::string> OutputLines(const std::string& name) const {
    return SplitTextLines(ReadFileBytes(folder.path() / name));
  }
  std::string Settings() const { return ReadFileBytes(folder.path() / "brivano.ini"); }
  std::string ResumeState() const { return ReadFileBytes(folder.path() / "brivano-run.ini"); }

  TempDir folder;
  TempDir browserHome;
  std::filesystem::path program;
  EngineServer server{2};
};

TEST_F(BatchRun, EveryEngineWithKeywordFilesInGbkAndUtf8) {
  struct Case {
    const char* engine;
    const char* kind;
    ContactKind contactKind;
    bool gbkFile;
    const char* escapedKeyword;  // as the engine's address carries it
  } cases[] = {
      {"baidu", "mobile", ContactKind::Mobile, true, "%C9%EE%DB%DA"},
      {"sogou", "email", ContactKind::Email, false, "%C9%EE%DB%DA"},
      {"360", "qq", ContactKind::QQ, true, "%E6%B7%B1%E5%9C%B3"},
      {"bing", "fax", ContactKind::Fax, false, "%E6%B7%B1%E5%9C%B3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.engine);
    const std::string keywords = "深圳\r\n深圳 旅行社\r\n";
    folder.Write("keywords.txt", c.gbkFile ? Utf8ToGbk(keywords) : keywords);
    const qsizetype before = server.Requests().size();
    const Outcome outcome =
        Run({"--engine", c.engine, "--kind", c.kind, "--keywords", Path("keywords.txt"),
             "--start-line", "1", "--out", Path("out.txt")});
    EXPECT_EQ(outcome.exitCode, 0) << outcome.errors;
    // Two keywords of two pages; 去重 from the settings file.
    std::vector<std::string> expected = ExpectedHarvest(c.contactKind, 1, 2);
    EXPECT_EQ(OutputLines("out.txt"), expected) << outcome.errors;
    QStringList requests = server.Requests().mid(before);
    requests.removeAll(QStringLiteral("/favicon.ico"));
    ASSERT_EQ(requests.size(), 4) << requests.join(' ').toStdString();
    EXPECT_TRUE(requests.front().contains(QLatin1String(c.escapedKeyword)))
        << requests.front().toStdString();
    // One plain line a page for the log, then the closing lines.
    EXPECT_NE(outcome.errors.find("关键词 2/2"), std::string::npos) << outcome.errors;
    // The settings file is never written; the line to go on from is past the end.
    EXPECT_EQ(Settings(), "[config]\r\nspeed=3\r\nmaxpage=2\r\nquchong=1\r\n");
    EXPECT_NE(ResumeState().find("line=3\r\n"), std::string::npos) << ResumeState();
  }
}

TEST_F(BatchRun, InterruptedThenResumedHarvestsWhatOneRunWould) {
  folder.Write("keywords.txt", "a\nb\nc\n");
  // SIGINT once the second page is reported, the last of keyword "a": the
  // run finishes the page in hand, the first of "b", saves, and ends with
  // 130.
  bool sent = false;
  const Outcome first =
      Run({"--engine", "bing", "--kind", "mobile", "--keywords", Path("keywords.txt"), "--out",
           Path("first.csv")},
          [&](QProcess& process, const std::string& errors) {
            std::size_t pages = 0;
            for (std::size_t at = 0; (at = errors.find("页 +", at)) != std::string::npos; ++at) {
              ++pages;
            }
            if (!sent && pages >= 2) {
              sent = true;
              ::kill(static_cast<pid_t>(process.processId()), SIGINT);
            }
          });
  ASSERT_TRUE(sent) << first.errors;
  EXPECT_EQ(first.exitCode, 130) << first.errors;
  // Normally "b" has a page left and the run goes on from its line. On a
  // loaded machine the signal may land only after "b" is done (this test
  // reads the log late, the program is not late): then "c" is next.
  std::size_t pagesRead = 0;
  for (std::size_t at = 0; (at = first.errors.find("页 +", at)) != std::string::npos; ++at) {
    ++pagesRead;
  }
  ASSERT_LT(pagesRead, 6u) << first.errors;
  const std::string line = "line=" + std::to_string(pagesRead / 2 + 1) + "\r\n";
  EXPECT_NE(ResumeState().find(line), std::string::npos) << ResumeState();

  const Outcome second = Run({"--engine", "bing", "--kind", "mobile", "--keywords",
                              Path("keywords.txt"), "--out", Path("second.csv")});
  EXPECT_EQ(second.exitCode, 0) << second.errors;
  EXPECT_NE(ResumeState().find("line=4\r\n"), std::string::npos) << ResumeState();

  // The CSV's first column, without its header, as a set of the values.
  std::set<std::string> together;
  for (const char* name : {"first.csv", "second.csv"}) {
    const std::vector<std::string> rows = OutputLines(name);
    ASSERT_FALSE(rows.empty()) << name;
    for (std::size_t i = 1; i < rows.size(); ++i)
      together.insert(rows[i].substr(0, rows[i].find(',')));
  }
  const std::vector<std::string> expected = ExpectedHarvest(ContactKind::Mobile, 1, 2);
  EXPECT_EQ(together, std::set<std::string>(expected.begin(), expected.end()));
}

TEST_F(BatchRun, AVerificationWallStopsOrIsWaitedOut) {
  folder.Write("keywords.txt", "a\nb\n");
  // stop: the second request meets the wall; status 3, and the line to go
  // on from is the keyword the wall stood in.
  server.WallFrom(2);
  const Outcome stopped = Run({"--engine", "baidu", "--kind", "qq", "--keywords",
                               Path("keywords.txt"), "--on-verification", "stop"});
  EXPECT_EQ(stopped.exitCode, 3) << stopped.errors;
  EXPECT_NE(ResumeState().find("line=1\r\n"), std::string::npos) << ResumeState();

  // wait: the wall lifts after one more request; a first wait of 0.6 s
  // (--max-wait 0.01 minutes) and the run goes on to its end.
  EngineServer lifting(2);
  lifting.WallFor(2, 1);
  std::string engines;
  for (const char* section : {"baidu", "sogou", "360", "bing"}) {
    engines += std::string("[") + section + "]\r\nhost=" + lifting.BaseUrl().toStdString() + "\r\n";
  }
  folder.Write("engines.ini", engines);
  const Outcome waited =
      Run({"--engine", "baidu", "--kind", "qq", "--keywords", Path("keywords.txt"), "--start-line",
           "1", "--max-wait", "0.01", "--out", Path("waited.txt")});
  EXPECT_EQ(waited.exitCode, 0) << waited.errors;
  EXPECT_NE(waited.errors.find("检测到验证页面"), std::string::npos) << waited.errors;
  EXPECT_EQ(OutputLines("waited.txt"), ExpectedHarvest(ContactKind::QQ, 1, 2));
}

// The desktop program opened in the same folder while brivano-run is in the
// middle of a run: the live run is neither offered back nor ended, and it
// ends as a finished run whose values count for later runs.
TEST_F(BatchRun, TheWindowLeavesALiveRunOfBrivanoRunAlone) {
  folder.Write("keywords.txt", "a\nb\nc\n");
  ScriptedDialogs dialogs;
  dialogs.askAnswers = {true};
  std::unique_ptr<MainWindow> form;
  const Outcome outcome =
      Run({"--engine", "bing", "--kind", "mobile", "--keywords", Path("keywords.txt")},
          [&](QProcess&, const std::string& errors) {
            if (!form && errors.find("页 +") != std::string::npos) {
              form = std::make_unique<MainWindow>(TestWindowOptions(server, dialogs, folder));
            }
          });
  EXPECT_EQ(outcome.exitCode, 0) << outcome.errors;
  ASSERT_TRUE(form);
  EXPECT_TRUE(dialogs.shown.filter(QStringLiteral("ask:")).isEmpty())
      << dialogs.shown.join(' ').toStdString();
  EXPECT_EQ(form->Run().Buyers().size(), 0u);
  auto store = HarvestStore::Open(folder.path() / "brivano.db");
  ASSERT_TRUE(store.store) << store.error;
  EXPECT_EQ(store.store->connection().QueryInt64(
                "SELECT count(*) FROM runs WHERE program = 'brivano-run' AND ending = 'finished'"),
            1);
  EXPECT_TRUE(store.store->HarvestedBefore("13800000001", 0));
}

// brivano-run killed after its first page: its next run of the same file
// takes the crashed run's values and line back, and the window, opened after
// both, has nothing of brivano-run's to offer.
TEST_F(BatchRun, AKilledRunComesBackToTheNextRunOfItsFileOnly) {
  folder.Write("keywords.txt", "a\nb\n");
  const QStringList arguments = {"--engine", "bing",         "--kind",
                                 "mobile",   "--keywords",   Path("keywords.txt"),
                                 "--out",    Path("out.txt")};
  // The work is done in a child process of its own group: that one is
  // killed, as a crash would end it.
  const Outcome killed = Run(arguments, [](QProcess& process, const std::string& errors) {
    if (errors.find("页 +") == std::string::npos) return;
    const qint64 pid = process.processId();
    std::istringstream children(ReadFileBytes("/proc/" + std::to_string(pid) + "/task/" +
                                              std::to_string(pid) + "/children"));
    for (pid_t child; children >> child;) ::kill(child, SIGKILL);
  });
  EXPECT_EQ(killed.exitCode, 128 + SIGKILL) << killed.errors;
  const Outcome next = Run(arguments);
  EXPECT_EQ(next.exitCode, 0) << next.errors;
  EXPECT_NE(next.errors.find("上次运行意外中断：恢复已采集的 1 条，从第 1 行继续"),
            std::string::npos)
      << next.errors;
  EXPECT_EQ(OutputLines("out.txt"), ExpectedHarvest(ContactKind::Mobile, 1, 2));
  ScriptedDialogs dialogs;
  MainWindow form(TestWindowOptions(server, dialogs, folder));
  EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.join(' ').toStdString();
}

// --version and --help answer on the terminal; the desktop program without a
// display says what it needs.
TEST(ProgramsOnTheTerminal, VersionHelpAndNoDisplay) {
  struct Case {
    const char* program;
    QStringList arguments;
    bool display;
    int exitCode;
    std::string output;  // a part of standard output, or of standard error on failure
  } cases[] = {
      {BRIVANO_PROGRAM, {"--version"}, true, 0, "brivano " + std::string(kVersion) + "\n"},
      {BRIVANO_PROGRAM, {"--help"}, true, 0, "用法：brivano [--help] [--version]"},
      {BRIVANO_PROGRAM, {}, false, 1, "没有图形界面"},
      {BRIVANO_RUN_PROGRAM, {"--version"}, false, 0, "brivano-run " + std::string(kVersion)},
  };
  for (const Case& c : cases) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
      if (!c.display) environment.remove(QString::fromLatin1(name));
    }
    if (c.display)
      environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.start(QString::fromUtf8(c.program), c.arguments);
    ASSERT_TRUE(process.waitForFinished(30000)) << c.program;
    EXPECT_EQ(process.exitCode(), c.exitCode) << c.program;
    const std::string said =
        (c.exitCode == 0 ? process.readAllStandardOutput() : process.readAllStandardError())
            .toStdString();
    EXPECT_NE(said.find(c.output), std::string::npos) << said;
  }
}

// Nothing listens at the engine's address: the keyword's page is asked for
// three times, then the keyword is named as failed; the line to go on from
// stays on it and the status says the run did not do everything.
TEST_F(BatchRun, AnEngineThatCannotBeReachedIsNoSuccess) {
  folder.Write("keywords.txt", "a\n");
  folder.Write("engines.ini", "[sogou]\r\nhost=http://127.0.0.1:1\r\n");
  const Outcome outcome =
      Run({"--engine", "sogou", "--kind", "qq", "--keywords", Path("keywords.txt")});
  EXPECT_EQ(outcome.exitCode, 4) << outcome.errors;
  EXPECT_NE(outcome.errors.find("关键词完成 0 个，失败 1 个（第 1 行）"), std::string::npos)
      << outcome.errors;
  EXPECT_NE(ResumeState().find("line=1\r\n"), std::string::npos) << ResumeState();
}

}  // namespace
}  // namespace brivano::testing
