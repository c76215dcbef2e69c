// brivano-run's run on the virtual clock: its command line, the settings it
// starts from and writes back, interrupts, verification pages and progress.
#include <gtest/gtest.h>

#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <iostream>

#include "base/text.h"
#include "batch/batch_options.h"
#include "batch/batch_session.h"
#include "batch/progress_report.h"
#include "testing/cli_runner.h"
#include "testing/file_fakes.h"
#include "testing/run_harness.h"

namespace brivano::testing {
namespace {

ParsedBatchOptions Parse(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  return ParseBatchOptions(argv);
}

TEST(BatchOptions, CommandLines) {
  struct Case {
    std::vector<std::string> args;
    std::string error;  // a part of the usage error; empty when it parses
  } cases[] = {
      {{"--keywords", "k.txt"}, ""},
      {{}, "缺少 --keywords FILE"},
      {{"--keywords", ""}, "文件名为空"},
      {{"--keywords", "k", "--engine", "google"}, "未知的搜索引擎“google”"},
      {{"--keywords", "k", "--kind", "phone"}, "未知的类型“phone”"},
      {{"--keywords", "k", "--speed", "2"}, "--speed 需要不小于 3 的十进制整数"},
      {{"--keywords", "k", "--speed", "1001"}, "--speed 需要 3 到 1000 之间的数"},
      {{"--keywords", "k", "--pages", "77"}, "--pages 需要 1 到 76 之间的数"},
      {{"--keywords", "k", "--start-line", "0"}, "--start-line 需要不小于 1 的十进制整数"},
      {{"--keywords", "k", "--format", "csv"}, "--format 需要 --out FILE"},
      {{"--keywords", "k", "--out", "o", "--format", "pdf"}, "未知的格式“pdf”"},
      {{"--keywords", "k", "--on-verification", "retry"}, "只能是 wait 或 stop"},
      {{"--keywords", "k", "--max-wait", "0"}, "大于 0 的分钟数"},
      {{"--keywords", "k", "--max-wait", "1e9"}, "大于 0 的分钟数"},
      {{"--keywords", "k", "--keywords", "l"}, "选项 --keywords 给了两次"},
      {{"--keywords", "k", "extra"}, "多余的参数 extra"},
      {{"--keywords", "k", "--verbose"}, "未知选项 --verbose"},
      {{"--keywords", "k", "--encoding", "utf-16"}, ""},
      {{"--keywords", "k", "--encoding", "latin1"}, "未知的编码“latin1”"},
  };
  for (const Case& c : cases) {
    const ParsedBatchOptions parsed = Parse(c.args);
    if (c.error.empty()) {
      EXPECT_TRUE(parsed.options) << parsed.error;
    } else {
      EXPECT_FALSE(parsed.options);
      EXPECT_NE(parsed.error.find(c.error), std::string::npos) << parsed.error;
    }
  }

  const ParsedBatchOptions full =
      Parse({"--keywords",   "k.txt",      "--engine", "sogou", "--kind",  "qq",
             "--start-line", "4",          "--speed",  "3",     "--pages", "5",
             "--dedup",      "--mark",     "扣扣",     "--out", "x.XLSX",  "--on-verification",
             "stop",         "--max-wait", "0.5"});
  ASSERT_TRUE(full.options);
  const BatchOptions& o = *full.options;
  EXPECT_EQ(o.engine, Engine::Sogou);
  EXPECT_EQ(o.kind, ContactKind::QQ);
  EXPECT_EQ(o.startLine, 4);
  EXPECT_EQ(o.speed, 3);
  EXPECT_EQ(o.pages, 5);
  EXPECT_TRUE(o.dedup);
  EXPECT_EQ(o.mark, Utf8ToGbk("扣扣"));
  EXPECT_EQ(o.format, ExportFormat::Xlsx);  // from the file's extension
  EXPECT_EQ(o.onVerification, VerificationPolicy::Stop);
  EXPECT_DOUBLE_EQ(o.maxWaitMinutes, 0.5);
  EXPECT_TRUE(Parse({"--keywords", "k", "-h"}).help);
}

TEST(BatchProgress, LinesAndEstimates) {
  RunProgress p;
  p.keywordsTotal = 4;
  p.keywordLine = 2;
  p.keyword = "深圳 旅行社";
  p.pageLimit = 4;
  p.page = 2;
  p.keywordsDone = 1;
  p.pageValues = 7;
  p.found = 30;
  p.elapsedMs = 60000;
  // One keyword and half the next: 1.5 of 4 in a minute leaves 100 s.
  EXPECT_EQ(RemainingMs(p), 100000);
  EXPECT_EQ(ProgressLine(p),
            "关键词 1/4  第2行「深圳 旅行社」第2页 +7  共 30 条  用时 01:00  剩余 01:40");
  EXPECT_EQ(ProgressBar(p).substr(0, 26), "[#########---------------]");
  p.keywordsDone = 2;
  p.keywordDone = true;  // its page share no longer counts
  EXPECT_EQ(RemainingMs(p), 60000);
  p.keywordsDone = 0;
  p.keywordDone = false;
  p.page = 0;
  EXPECT_LT(RemainingMs(p), 0);
  EXPECT_EQ(ClockText(3723000), "1:02:03");

  std::string written;
  ProgressPrinter terminal([&](std::string_view s) { written += s; }, true);
  terminal.Progress(p);
  terminal.Message("消息");
  terminal.Finish();
  // The message goes above the bar, which is drawn again and then ended.
  EXPECT_EQ(written.find("\r\033[K消息\n["), written.find("\r\033[K消息"));
  EXPECT_EQ(written.back(), '\n');
}

// brivano-run's session over a fake browser on the virtual clock, with its
// files in a temporary folder.
struct Batch {
  VirtualClock clock;
  FakeBrowser browser{clock};
  TempDir folder;
  std::vector<std::string> errors;
  std::optional<int> status;
  std::unique_ptr<BatchSession> session;

  explicit Batch(const std::string& settings = "[config]\r\nspeed=3\r\nmaxpage=2\r\n") {
    folder.Write("brivano.ini", settings);
    folder.Write("keywords.txt", "a\nb\nc\n");
    browser.ServeAnyAddress("手机 13800000001\n下一页>\n");
  }

  void Start(std::vector<std::string> args, long long firstRetryMs = 300000) {
    if (std::find(args.begin(), args.end(), "--keywords") == args.end()) {
      args.insert(args.begin(), {"--keywords", (folder.path() / "keywords.txt").string()});
    }
    args.insert(args.begin(), {"--engine", "baidu"});
    const ParsedBatchOptions parsed = Parse(args);
    ASSERT_TRUE(parsed.options) << parsed.error;
    session = std::make_unique<BatchSession>(
        *parsed.options,
        BatchEnvironment{.browser = browser,
                         .timers = clock,
                         .files = ProgramFiles{folder.path(), "brivano.ini"},
                         .engines = EngineTableAt(kTestHost),
                         .network = {[] { return std::string("10.1.2.3"); }, {}},
                         .clearBrowserCache = [](std::function<void()> done) { done(); },
                         .writeError = [this](std::string_view s) { errors.emplace_back(s); },
                         .terminal = false,
                         .nowMs = [this] { return clock.Now(); },
                         .finished = [this](int s) { status = s; },
                         .firstRetryMs = firstRetryMs,
                         .randomSeconds = {}});
    if (const std::optional<int> failed = session->Start()) status = failed;
  }
  bool RunToEnd(long long limitMs = 4 * 3600 * 1000) {
    return clock.AdvanceUntil([this] { return status.has_value(); }, limitMs, 250);
  }
  std::string Settings() const { return ReadFileBytes(folder.path() / "brivano.ini"); }
  std::string ResumeState() const { return ReadFileBytes(folder.path() / "brivano-run.ini"); }
  bool Said(std::string_view part) const {
    for (const std::string& e : errors) {
      if (e.find(part) != std::string::npos) return true;
    }
    return false;
  }
};

TEST(BatchSession, AWholeRunWritesItsOutputAndOnlyTheLineToGoOnFrom) {
  Batch batch("[config]\r\nspeed=8\r\nmaxpage=2\r\nquchong=0\r\ninfo=qq\r\n");
  const std::string out = (batch.folder.path() / "out.txt").string();
  batch.Start({"--kind", "mobile", "--speed", "3", "--dedup", "--out", out});
  ASSERT_FALSE(batch.status);
  ASSERT_TRUE(batch.RunToEnd());
  EXPECT_EQ(batch.status, 0);
  EXPECT_EQ(batch.browser.Requests().size(), 6u);    // three keywords of two pages
  EXPECT_EQ(ReadFileBytes(out), "13800000001\r\n");  // --dedup
  // The window's files are left alone; the line to go on from is the run's own.
  EXPECT_EQ(batch.Settings(), "[config]\r\nspeed=8\r\nmaxpage=2\r\nquchong=0\r\ninfo=qq\r\n");
  EXPECT_NE(batch.ResumeState().find("line=4\r\n"), std::string::npos) << batch.ResumeState();
  EXPECT_FALSE(std::filesystem::exists(batch.folder.path() / "autosave.txt"));
  EXPECT_TRUE(batch.Said("关键词 3/3"));
  EXPECT_TRUE(batch.Said("关键词文件按 ASCII 读取，第一行：a"));

  // The next night's run of the finished list starts again, plainly.
  batch.errors.clear();
  batch.status.reset();
  batch.Start({"--kind", "mobile", "--speed", "3"});
  ASSERT_FALSE(batch.status);
  EXPECT_TRUE(batch.Said("上次已做完全部 3 行关键词，从第 1 行重新开始"));
  EXPECT_FALSE(batch.Said("brivano-run："));
}

TEST(BatchSession, InterruptsFinishThePageInHandOrEndAtOnce) {
  struct Case {
    const char* what;
    int signals;
    std::size_t requests;  // made before the end
    int signal;
  } cases[] = {
      {"SIGINT finishes the page in hand", 1, 3, SIGINT},
      {"SIGTERM as well", 1, 3, SIGTERM},
      {"a second SIGINT ends at once", 2, 3, SIGINT},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Batch batch;
    batch.Start({});
    // The third request, "b" page 1, is in hand.
    ASSERT_TRUE(
        batch.clock.AdvanceUntil([&] { return batch.browser.Requests().size() == 3; }, 60000, 50));
    for (int i = 0; i < c.signals; ++i) batch.session->Interrupt(c.signal);
    ASSERT_TRUE(batch.RunToEnd(120000));
    EXPECT_EQ(batch.status, 128 + c.signal);
    EXPECT_EQ(batch.browser.Requests().size(), c.requests);
    // "b" has pages left: a later run starts at its line.
    EXPECT_NE(batch.ResumeState().find("line=2\r\n"), std::string::npos) << batch.ResumeState();
  }
}

TEST(BatchSession, VerificationPagesAreWaitedOutOrEndTheRun) {
  struct Case {
    const char* what;
    std::vector<std::string> args;
    std::set<int> wallAt;
    int status;
    // When the retries are made, after the wall's request: its page step
    // comes 3 s later, then 5 minutes, then 10.
    std::vector<long long> retriesAfterWallMs;
  } cases[] = {
      {"stop", {"--on-verification", "stop"}, {2}, 3, {}},
      {"wait, lifted at the first retry", {}, {2}, 0, {303000}},
      {"wait, doubling up to --max-wait, then given up",
       {"--max-wait", "10"},
       {2, 3, 4, 5, 6, 7},
       3,
       {303000, 903000}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Batch batch;
    batch.browser.wallAt = c.wallAt;
    batch.Start(c.args);
    ASSERT_TRUE(batch.RunToEnd());
    EXPECT_EQ(batch.status, c.status);
    const std::vector<long long> times = batch.browser.RequestTimes();
    ASSERT_GE(times.size(), 2u + c.retriesAfterWallMs.size());
    for (std::size_t i = 0; i < c.retriesAfterWallMs.size(); ++i) {
      EXPECT_NEAR(times[2 + i] - times[1], c.retriesAfterWallMs[i], 1000) << i;
    }
    EXPECT_TRUE(batch.Said("检测到验证页面"));
    if (c.status == 3) {
      EXPECT_NE(batch.ResumeState().find("line=1\r\n"), std::string::npos) << batch.ResumeState();
    } else {
      EXPECT_EQ(batch.browser.Requests().size(), 8u);  // six pages, a retry and the page again
    }
  }
}

TEST(BatchSession, PagesThatDoNotLoadAreNeverASuccess) {
  struct Case {
    const char* what;
    std::set<int> failAt;  // request numbers
    bool failEverything;
    int status;
    const char* process;   // the line a later run starts at
    const char* lastLine;  // a part of the closing line
  } cases[] = {
      {"one lost request", {3}, false, 0, "line=4\r\n", "关键词完成 3 个，失败 0 个"},
      {"b given up", {3, 4, 5}, false, 4, "line=2\r\n", "失败 1 个（第 2 行）"},
      {"an engine that cannot be reached", {}, true, 5, "line=1\r\n", "关键词完成 0 个"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Batch batch;
    batch.browser.failAt = c.failAt;
    batch.browser.failEverything = c.failEverything;
    batch.Start({"--max-wait", "30"});
    ASSERT_TRUE(batch.RunToEnd());
    EXPECT_EQ(batch.status, c.status);
    EXPECT_NE(batch.ResumeState().find(c.process), std::string::npos) << batch.ResumeState();
    ASSERT_FALSE(batch.errors.empty());
    EXPECT_NE(batch.errors.back().find(c.lastLine), std::string::npos) << batch.errors.back();
  }
}

// Each keyword file goes on from its own line: a one-line file that
// finished does not make a four-line file start at line 2.
TEST(BatchSession, EachKeywordFileGoesOnFromItsOwnLine) {
  Batch batch;
  batch.folder.Write("one.txt", "x\n");
  batch.folder.Write("keywords.txt", "a\nb\nc\nd\n");
  batch.Start({"--keywords", (batch.folder.path() / "one.txt").string(), "--pages", "1"});
  ASSERT_TRUE(batch.RunToEnd());
  EXPECT_EQ(batch.status, 0);
  batch.status.reset();
  batch.Start({"--pages", "1"});
  ASSERT_TRUE(batch.RunToEnd());
  EXPECT_TRUE(batch.Said("从第 1 行开始"));
  EXPECT_EQ(batch.browser.Requests().size(), 5u);  // x, then a b c d
}

TEST(BatchSession, AnOutputThatIsAnInputIsRefusedBeforeTheFirstRequest) {
  for (const char* name :
       {"keywords.txt", "brivano.db", "brivano.db-wal", "brivano.ini", "brivano-run.ini"}) {
    SCOPED_TRACE(name);
    Batch batch;
    batch.folder.Write("brivano.db", "the store");
    const std::string before = ReadFileBytes(batch.folder.path() / name);
    batch.Start({"--out", (batch.folder.path() / "." / name).string()});
    EXPECT_EQ(batch.status, 1);
    EXPECT_TRUE(batch.browser.Requests().empty());
    EXPECT_EQ(ReadFileBytes(batch.folder.path() / name), before);
  }
}

// A run of hours must not learn at its end that --out cannot be written:
// the output's folder is tried before the first request, and the former
// file and the folder are left as they were.
TEST(BatchSession, AnOutputThatCannotBeWrittenIsRefusedBeforeTheFirstRequest) {
  struct Case {
    const char* what;
    // The output; an empty path where the case cannot be set up here.
    std::function<std::filesystem::path(const TempDir&)> out;
    const char* reason;  // the system's words; nullptr when the run starts
  } cases[] = {
      {"a missing folder", [](const TempDir& d) { return d.path() / "gone" / "x.csv"; },
       "没有那个文件或目录"},
      {"a file for a folder", [](const TempDir& d) { return d.path() / "keywords.txt" / "x.csv"; },
       "不是目录"},
      {"a folder", [](const TempDir& d) { return d.path(); }, "是一个目录"},
      {"a folder that takes no new file",
       [](const TempDir& d) {
         const auto folder = d.path() / "locked";
         std::filesystem::create_directory(folder);
         return MakeFolderReadOnly(folder) ? folder / "x.csv" : std::filesystem::path();
       },
       ::geteuid() == 0 ? "只读文件系统" : "权限不够"},
      {"a former file", [](const TempDir& d) { return d.Write("x.csv", "former"); }, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Batch batch;
    const std::filesystem::path out = c.out(batch.folder);
    if (out.empty()) {
      std::cout << "[ NOTE     ] " << c.what << ": cannot be set up on this machine\n";
      continue;
    }
    batch.Start({"--out", out.string()});
    if (c.reason == nullptr) {
      EXPECT_FALSE(batch.status);
      EXPECT_EQ(ReadFileBytes(out), "former");
    } else {
      EXPECT_EQ(batch.status, 1);
      EXPECT_TRUE(batch.Said("brivano-run：无法创建文件“" + out.string() + "”：" + c.reason));
      EXPECT_TRUE(batch.browser.Requests().empty());
    }
    for (const std::string& name : FolderNames(batch.folder.path())) {
      EXPECT_FALSE(name.ends_with(".tmp")) << name;  // the try leaves nothing behind
    }
    if (out.parent_path().filename() == "locked") Unmount(out.parent_path());
  }
}

TEST(BatchSession, WhatKeepsARunFromStartingOrSavingFailsIt) {
  {
    Batch batch;
    std::filesystem::remove(batch.folder.path() / "keywords.txt");
    batch.Start({});
    EXPECT_EQ(batch.status, 1);
    EXPECT_TRUE(batch.Said("无法读取关键词文件"));
  }
  {
    Batch batch;
    batch.folder.Write("keywords.txt", "");
    batch.Start({});
    EXPECT_EQ(batch.status, 1);
    EXPECT_TRUE(batch.browser.Requests().empty());
  }
  {
    // A NUL would have ended the list after "b" and called it done.
    Batch batch;
    batch.folder.Write("keywords.txt", std::string("a\nb\0c\nd\n", 9));
    batch.Start({});
    EXPECT_EQ(batch.status, 1);
    EXPECT_TRUE(batch.Said("第2行含有空字符（NUL）"));
    EXPECT_TRUE(batch.browser.Requests().empty());
  }
  {
    // A state that cannot be written: the run ends, and says so.
    Batch batch;
    std::filesystem::create_directory(batch.folder.path() / "brivano-run.ini");
    batch.Start({"--pages", "1"});
    ASSERT_TRUE(batch.RunToEnd());
    EXPECT_EQ(batch.status, 1);
  }
}

}  // namespace
}  // namespace brivano::testing
