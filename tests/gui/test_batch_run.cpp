// brivano-run as a scheduler starts it: the real program, with its settings
// and engines.ini in its own folder pointing at a local server, run as a
// process of its own.
#include <gtest/gtest.h>

#include <unicode/ucnv.h>
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
#include "testing/local_web.h"

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
    // The local sites are reached directly, whatever proxy this machine names.
    for (const char* proxy :
         {"http_proxy", "https_proxy", "all_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY"}) {
      environment.remove(QString::fromLatin1(proxy));
    }
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

// Text in a legacy code page, as old company sites send it.
std::string Encoded(const char* charset, const std::string& utf8) {
  UErrorCode status = U_ZERO_ERROR;
  std::string out(utf8.size() * 2 + 16, '\0');
  const int32_t length =
      ucnv_convert(charset, "UTF-8", out.data(), static_cast<int32_t>(out.size()), utf8.data(),
                   static_cast<int32_t>(utf8.size()), &status);
  out.resize(U_SUCCESS(status) ? static_cast<std::size_t>(length) : 0);
  return out;
}

// The CSV export's rows as fields (none of the test's fields holds a comma
// or a quote).
std::vector<std::vector<std::string>> CsvRows(const std::string& bytes) {
  std::vector<std::vector<std::string>> rows;
  for (const std::string& line : SplitTextLines(bytes)) {
    std::vector<std::string> fields;
    std::stringstream in(line);
    for (std::string field; std::getline(in, field, ',');) fields.push_back(field);
    rows.push_back(fields);
  }
  return rows;
}

// 访问网站 against a local web of company sites with the traps real sites
// have. Every contact placed on a contact page is found, with the page and
// company it came from; every trap is skipped, capped, timed out or obeyed;
// no host sees two requests within two seconds.
TEST_F(BatchRun, SiteVisitsFindEveryContactPageAndNoTrapHoldsTheRunUp) {
  LocalWeb web;
  web.Start();
  const std::string port = std::to_string(web.Port());
  const auto html = [](std::string body, const char* charset = "utf-8") {
    return WebResponse{.headers = {{"Content-Type", std::string("text/html; charset=") + charset}},
                       .body = std::move(body)};
  };
  const auto page = [](const std::string& title, const std::string& body,
                       const char* charset = "utf-8") {
    return "<html><head><meta charset='" + std::string(charset) + "'><title>" + title +
           "</title></head><body>" + body + "</body></html>";
  };
  // GBK throughout, the company in its copyright line.
  web.Route("gbk.test", "/",
            {.headers = {{"Content-Type", "text/html"}},
             .body = Encoded("gbk", page("甲乙贸易", "<a href='/lxwm.asp'>联系我们</a>", "gbk"))});
  web.Route("gbk.test", "/lxwm.asp",
            {.headers = {{"Content-Type", "text/html"}},
             .body = Encoded("gbk", page("联系我们",
                                         "<p>手机：13911110001</p>"
                                         "<p>深圳市甲乙贸易有限公司 版权所有</p>",
                                         "gbk"))});
  // Big5, its link in traditional characters.
  web.Route("big5.test", "/",
            {.headers = {{"Content-Type", "text/html"}},
             .body = Encoded("big5", page("公司", "<a href='/c.htm'>聯絡我們</a>", "big5"))});
  web.Route("big5.test", "/c.htm",
            {.headers = {{"Content-Type", "text/html"}},
             .body = Encoded("big5", page("聯絡", "<p>手機 13911110002</p>", "big5"))});
  // A <meta charset> that lies: the bytes are GBK.
  web.Route("liar.test", "/",
            {.headers = {{"Content-Type", "text/html"}},
             .body = Encoded("gbk", page("丙科技",
                                         "<p>手机：13911110003</p><p>深圳市丙科技有限公司 "
                                         "版权所有 粤ICP备12345678号</p>"))});
  // gzip, an English link.
  WebResponse zipped = html(page("Gzip", "<a href='/contact-us.html'>Contact Us</a>"));
  zipped.gzip = true;
  web.Route("gzip.test", "/", zipped);
  zipped.body = page("Contact", "<p>Mobile 13911110004</p>");
  web.Route("gzip.test", "/contact-us.html", zipped);
  // 50 MB, a site that never answers, a redirect loop.
  web.Route("huge.test", "/",
            {.headers = {{"Content-Type", "text/html"}}, .streamBytes = 50 << 20});
  web.Route("silent.test", "/robots.txt", {.neverAnswer = true});
  web.Route("silent.test", "/", {.neverAnswer = true});
  web.Route("loop.test", "/", {.status = 302, .headers = {{"Location", "/a"}}});
  web.Route("loop.test", "/a", {.status = 302, .headers = {{"Location", "/"}}});
  // robots.txt forbids the contact page; the about page may be read.
  web.Route(
      "robots.test", "/robots.txt",
      {.headers = {{"Content-Type", "text/plain"}}, .body = "User-agent: *\nDisallow: /contact\n"});
  web.Route("robots.test", "/",
            html(page("R", "<a href='/contact/'>联系我们</a><a href='/about/'>关于我们</a>")));
  web.Route("robots.test", "/contact/", html(page("C", "13911110005")));
  web.Route("robots.test", "/about/", html(page("A", "手机 13911110006")));
  // An endless calendar beside the contact page.
  std::string calendar;
  for (int day = 1; day <= 500; ++day) {
    calendar +=
        "<a href='/cal?d=" + std::to_string(day) + "'>12月" + std::to_string(day) + "日</a>";
  }
  web.Route("calendar.test", "/", html(page("Cal", calendar + "<a href='/lx.html'>联系方式</a>")));
  web.Route("calendar.test", "/lx.html", html(page("L", "手机 13911110007")));
  // A PDF and an image behind contact links, the real page behind 公司简介.
  web.Route("files.test", "/",
            html(page("F",
                      "<a href='/lianxi.pdf'>联系我们</a><a href='/lianxi'>联系方式</a>"
                      "<a href='/jj.html'>公司简介</a>")));
  web.Route("files.test", "/lianxi",
            {.headers = {{"Content-Type", "image/png"}}, .body = "\x89PNG 13911110098"});
  web.Route("files.test", "/jj.html", html(page("J", "手机 13911110008")));
  // 404 and 500 behind the contact links.
  web.Route(
      "errors.test", "/",
      html(
          page("E", "手机 13911110009<a href='/gone'>联系我们</a><a href='/x.html'>关于我们</a>")));
  web.Route("errors.test", "/x.html", {.status = 500, .body = "13911110099"});
  // A contact page that only its link text names.
  web.Route("linktext.test", "/", html(page("T", "<a href='/p?id=17'>联系我们</a>")));
  web.Route("linktext.test", "/p?id=17", html(page("P", "手机 13911110010")));
  // This machine itself, named by address: never visited.
  web.Route("127.0.0.1", "/", html(page("Private", "13911110011")));

  const char* sites[] = {"gbk",  "big5",   "liar",     "gzip",  "huge",   "silent",
                         "loop", "robots", "calendar", "files", "errors", "linktext"};
  QStringList targets;
  QStringList arguments = {"--engine",           "360",          "--kind", "mobile", "--keywords",
                           Path("keywords.txt"), "--start-line", "1"};
  QStringList resolve;
  for (const char* site : sites) {
    targets << QString::fromStdString("http://" + std::string(site) + ".test:" + port + "/");
    resolve << "--resolve"
            << QString::fromStdString(std::string(site) + ".test:" + port + ":127.0.0.1");
  }
  targets << QString::fromStdString("http://127.0.0.1:" + port + "/")
          << QString::fromStdString("http://www.gbk.test:" + port + "/again") << targets[0]
          << targets[1];
  server.SetBlockTargets(targets);
  folder.Write("keywords.txt", "k1\nk2\nk3\nk4\n");

  // Values per keyword, without site visits and with them.
  std::map<bool, std::map<std::string, int>> perKeyword;
  std::map<bool, std::vector<std::vector<std::string>>> rows;
  for (const bool visit : {false, true}) {
    QStringList run = arguments;
    run << "--out" << Path(visit ? "with.csv" : "without.csv");
    if (visit) run << "--visit-sites" << resolve;
    const Outcome outcome = Run(run);
    ASSERT_EQ(outcome.exitCode, 0) << outcome.errors;
    rows[visit] = CsvRows(ReadFileBytes(folder.path() / (visit ? "with.csv" : "without.csv")));
    for (std::size_t i = 1; i < rows[visit].size(); ++i) ++perKeyword[visit][rows[visit][i][2]];
    if (visit) {
      EXPECT_NE(outcome.errors.find("网站 13/13"), std::string::npos) << outcome.errors;
      // The literal loopback address is refused, and not counted as visited.
      EXPECT_NE(outcome.errors.find("访问网站 12/13 个"), std::string::npos) << outcome.errors;
      EXPECT_NE(outcome.errors.find("本机或内网地址 1 个未访问"), std::string::npos);
    }
  }
  for (const auto& [keyword, count] : perKeyword[true]) {
    std::printf("yield %s: %d without site visits, %d with\n", keyword.c_str(),
                perKeyword[false][keyword], count);
  }

  std::map<std::string, std::vector<std::string>> found;  // value -> its row
  for (const std::vector<std::string>& row : rows[true]) found[row.front()] = row;
  for (const char* value :
       {"13911110001", "13911110002", "13911110003", "13911110004", "13911110006", "13911110007",
        "13911110008", "13911110009", "13911110010"}) {
    EXPECT_TRUE(found.contains(value)) << value;
  }
  for (const char* value : {"13911110005", "13911110011", "13911110098", "13911110099"}) {
    EXPECT_FALSE(found.contains(value)) << value;
  }
  // Where a site's value came from and whose it is.
  const std::vector<std::string>& gbk = found["13911110001"];
  ASSERT_EQ(gbk.size(), 12u);
  EXPECT_EQ(gbk[5], "http://gbk.test:" + port + "/lxwm.asp");
  EXPECT_EQ(gbk[7], "深圳市甲乙贸易有限公司");
  EXPECT_EQ(gbk[10], "http://gbk.test:" + port + "/");
  EXPECT_EQ(gbk[11], "联系我们");
  ASSERT_EQ(found["13911110003"].size(), 12u);
  EXPECT_EQ(found["13911110003"][7], "深圳市丙科技有限公司");

  // What the sites saw.
  std::map<std::string, long long> last;
  std::set<std::string> asked;
  for (const WebRequest& request : web.Requests()) {
    asked.insert(request.host + request.path);
    if (last.contains(request.host)) {
      EXPECT_GE(request.atMs - last[request.host], 2000) << request.host << request.path;
    }
    last[request.host] = request.atMs;
  }
  for (const char* never : {"robots.test/contact/", "files.test/lianxi.pdf",
                            "calendar.test/cal?d=1", "127.0.0.1/", "www.gbk.test/again"}) {
    EXPECT_FALSE(asked.contains(never)) << never;
  }
  for (const char* once : {"gbk.test/lxwm.asp", "files.test/lianxi", "errors.test/x.html"}) {
    EXPECT_TRUE(asked.contains(once)) << once;
  }
  EXPECT_GE(web.CutShort(), 1);  // the 50 MB page was not read to its end
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
