// Whole runs on the virtual clock with the harvest store behind them: the
// provenance of every value, 跨次去重 across runs, 号码校验, and the run a
// crash cut short.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "base/local_time.h"
#include "base/text.h"
#include "store/exports.h"
#include "store/store_recorder.h"
#include "testing/cli_runner.h"
#include "testing/run_harness.h"
#include "testing/store_pages.h"

namespace brivano::testing {
namespace {

struct StoreRun {
  TempDir dir;
  std::vector<std::string> reports;
  StoreRecorder recorder;
  RunHarness h;

  explicit StoreRun(long long patienceMs = StoreRecorder::kDefaultPatienceMs)
      : recorder(
            dir.path() / "brivano.db",
            [this](const std::string& message) { reports.push_back(message); }, "brivano", "", {},
            patienceMs) {
    h.recorder = &recorder;
    h.Rebuild();
    h.window.pageLimitText = "2";
  }
  // Two keywords of two pages; each page names its keyword and number.
  void ServePages(Engine engine, const std::vector<std::string>& keywords,
                  const std::string& valuesPerPage) {
    h.window.engine = engine;
    h.window.keywords = keywords;
    for (std::size_t k = 0; k < keywords.size(); ++k) {
      for (int page = 1; page <= 2; ++page) {
        h.browser.Serve(h.Address(engine, keywords[k], page),
                        valuesPerPage + "1380000" + std::to_string(k) + "00" +
                            std::to_string(page) + "\n" + RunHarness::NextPageLine(engine) + "\n");
      }
    }
  }
  std::vector<ContactValue> Items() {
    return StoreItems(*HarvestStore::Open(dir.path() / "brivano.db").store);
  }
};

TEST(StoreRecorder, EveryValueKeepsWhereItCameFrom) {
  StoreRun r;
  r.ServePages(Engine::Bing, {"深圳 旅行社", "北京 酒店"}, "");
  r.h.Start();
  ASSERT_TRUE(r.h.RunToEnd());
  const std::vector<ContactValue> items = r.Items();
  ASSERT_EQ(items.size(), 4u);
  const struct {
    const char* value;
    int line;
    const char* keyword;
    int page;
  } expected[] = {{"13800000001", 1, "深圳 旅行社", 1},
                  {"13800000002", 1, "深圳 旅行社", 2},
                  {"13800001001", 2, "北京 酒店", 1},
                  {"13800001002", 2, "北京 酒店", 2}};
  for (std::size_t i = 0; i < items.size(); ++i) {
    EXPECT_EQ(items[i].value, expected[i].value);
    const PageSource& source = *items[i].source;
    EXPECT_EQ(source.keywordLine, expected[i].line);
    EXPECT_EQ(GbkToUtf8(source.keyword), expected[i].keyword);
    EXPECT_EQ(source.page, expected[i].page);
    EXPECT_EQ(source.engine, "bing");
    EXPECT_EQ(source.pageUrl, r.h.Address(Engine::Bing, expected[i].keyword, expected[i].page));
    EXPECT_EQ(source.timeUtc.size(), 20u);  // "2026-12-07T13:17:48Z"
  }
  // The list's provenance for the exports is the store's.
  ASSERT_EQ(r.h.run->Buyers().size(), 4u);
  EXPECT_EQ(r.h.run->Buyers()[3].source->pageUrl, items[3].source->pageUrl);
  EXPECT_TRUE(r.reports.empty());
  EXPECT_FALSE(HarvestStore::Open(r.dir.path() / "brivano.db").store->FindUnfinishedRun());
}

// A page step that breaks off part-way (here the store's check fails at one
// value) leaves what it took in the list, and the next step reads that page's
// lines again before its own. Every exported row and every stored item still
// names the keyword and page its value stood on.
TEST(StoreRecorder, APageStepThatBreaksOffLeavesEveryRowItsOwnPage) {
  struct BreakingRecorder : StoreRecorder {
    using StoreRecorder::StoreRecorder;
    std::string breakAt;
    bool Accepts(std::string_view value, ContactKind kind) override {
      if (value == breakAt) {
        breakAt.clear();
        throw std::runtime_error("the page step breaks off");
      }
      return StoreRecorder::Accepts(value, kind);
    }
  };
  TempDir dir;
  BreakingRecorder recorder(dir.path() / "brivano.db", nullptr);
  RunHarness h;
  h.recorder = &recorder;
  h.Rebuild();
  h.window.engine = Engine::Sogou;
  h.window.pageLimitText = "3";
  h.window.keywords = {"甲", "乙"};
  // Three values a page, each naming its keyword (1, 2) and page (1..3).
  auto value = [](int keyword, int page, int i) {
    return "13" + std::to_string(7 + i) + "00000" + std::to_string(keyword) + "0" +
           std::to_string(page);
  };
  for (int k = 1; k <= 2; ++k) {
    for (int page = 1; page <= 3; ++page) {
      h.browser.Serve(
          h.Address(Engine::Sogou, h.window.keywords[k - 1], page),
          value(k, page, 0) + "\n" + value(k, page, 1) + "\n" + value(k, page, 2) + "\n下一页\n");
    }
  }
  recorder.breakAt = value(1, 2, 1);
  h.Start();
  ASSERT_TRUE(h.RunToEnd());
  ASSERT_TRUE(recorder.breakAt.empty());  // it broke off

  const auto csv = dir.path() / "list.csv";
  ASSERT_TRUE(WriteCsvExport(csv, BuyerListExportSource(h.run->Buyers())).ok());
  std::vector<std::string> rows = SplitTextLines(ReadFileBytes(csv));
  rows.erase(rows.begin());  // the header
  std::vector<std::string> stored;
  for (const ContactValue& item :
       StoreItems(*HarvestStore::Open(dir.path() / "brivano.db").store)) {
    stored.push_back(item.value + "," + GbkToUtf8(item.source->keyword) + "," +
                     std::to_string(item.source->page));
  }
  ASSERT_EQ(rows.size(), 19u);    // 18 values, and the one taken before the break read again
  EXPECT_EQ(stored.size(), 18u);  // the broken step stored nothing
  for (const std::string& row : rows) {
    const std::string keyword(row[8] == '1' ? "甲" : "乙");
    const std::string page(1, row[10]);
    EXPECT_NE(row.find(",手机," + keyword + ",sogou," + page + ","), std::string::npos) << row;
  }
  for (const std::string& item : stored) {
    EXPECT_EQ(item.substr(11), std::string(",") + (item[8] == '1' ? "甲" : "乙") + "," + item[10])
        << item;
  }
}

// The result a value stood in goes with it into the list, the store and
// the exports; a value outside every result has none.
TEST(StoreRecorder, EveryValueKeepsTheResultItStoodIn) {
  StoreRun r;
  r.h.window.engine = Engine::So360;
  r.h.window.keywords = {"a"};
  r.h.window.pageLimitText = "1";
  const std::string html =
      "<html><body><div id='side'>13900000000</div><ul>"
      "<li class='res-list'><h3><a href='http://jy.cn/' data-mdurl='http://jy.cn/'>"
      "深圳市甲乙有限公司_官网</a></h3><p>手机 13900000001</p><cite>jy.cn</cite></li>"
      "<li class='res-list'><h3><a href='http://www.so.com/link?m=x'>旅行社 - 360百科</a></h3>"
      "<p>热线 13900000002</p><cite>baike.so.com</cite></li></ul></body></html>";
  r.h.browser.Serve(
      r.h.Address(Engine::So360, "a", 1),
      "13900000000\n深圳市甲乙有限公司_官网\n手机 13900000001\n旅行社 - 360百科\n热线 "
      "13900000002\n",
      {.resultBlocks = 2, .html = html});
  r.h.Start();
  ASSERT_TRUE(r.h.RunToEnd());
  const std::vector<ContactValue> stored = r.Items();
  ASSERT_EQ(stored.size(), 3u);
  for (const std::vector<ContactValue>* items : {&r.h.run->Buyers().items(), &stored}) {
    ASSERT_EQ(items->size(), 3u);
    EXPECT_FALSE((*items)[0].owner);
    ASSERT_TRUE((*items)[1].owner && (*items)[2].owner);
    const ResultOwner& first = *(*items)[1].owner;
    EXPECT_EQ(GbkToUtf8(first.company), "深圳市甲乙有限公司");
    EXPECT_EQ(GbkToUtf8(first.title), "深圳市甲乙有限公司");
    EXPECT_EQ(first.site, "jy.cn");
    EXPECT_EQ(first.target, "http://jy.cn/");
    const ResultOwner& second = *(*items)[2].owner;
    EXPECT_EQ(GbkToUtf8(second.title), "旅行社");
    EXPECT_EQ(second.company, "");
    EXPECT_EQ(second.site, "baike.so.com");
    EXPECT_EQ(second.target, "");  // only the engine's redirect is known
  }
}

TEST(StoreRecorder, EveryPageStepKeepsHowItEnded) {
  StoreRun r;
  r.ServePages(Engine::Sogou, {"a", "b"}, "");
  // a page 2 never loads; b page 1 meets a wall, which is then lifted.
  r.h.browser.failAt = {2, 3, 4};
  r.h.browser.wallAt = {5};
  r.h.browser.wallAddress = "http://engine.test/antispider/?from=%2Fweb";
  r.h.Start();
  ASSERT_TRUE(r.h.clock.AdvanceUntil([&] { return r.h.run->Paused(); }, 3600 * 1000));
  r.h.browser.ShowPage("http://engine.test/", "搜狗\n");
  ASSERT_TRUE(r.h.RunToEnd());
  auto opened = HarvestStore::Open(r.dir.path() / "brivano.db");
  auto pages = opened.store->connection().Prepare(
      "SELECT keyword_line, page, outcome FROM pages ORDER BY id");
  std::vector<std::string> outcomes;
  while (pages.Step()) {
    outcomes.push_back(std::to_string(pages.ColumnInt64(0)) + "/" +
                       std::to_string(pages.ColumnInt64(1)) + " " +
                       std::string(pages.ColumnBytes(2)));
  }
  EXPECT_EQ(outcomes, (std::vector<std::string>{"1/1 read", "1/2 failed", "2/1 wall", "2/1 read",
                                                "2/2 read"}));
  EXPECT_EQ(
      opened.store->connection().QueryInt64("SELECT COUNT(*) FROM runs WHERE ending = 'failed'"),
      1);
  // The wall was solved; only a's second page is left to run again.
  const std::vector<KeywordToRunAgain> again = opened.store->KeywordsToRunAgain();
  ASSERT_EQ(again.size(), 1u);
  EXPECT_EQ(std::tie(again[0].keywordLine, again[0].page, again[0].outcome),
            std::make_tuple(1, 2, std::string("failed")));
}

TEST(StoreRecorder, SwitchesHoldValuesBack) {
  struct Case {
    bool crossRun, validate;
    std::size_t secondRunValues;
    const char* endNote;
  } cases[] = {
      {false, false, 9, "保留 9 条"},
      {true, false, 1, "保留 1 条"},  // only the new 13912345678 of the second run
      // 15412345678 is no mobile number: held back on every page.
      {false, true, 5, "保留 5 条（号码校验剔除4条）"},
  };
  for (const auto& c : cases) {
    StoreRun r;
    r.ServePages(Engine::Sogou, {"a", "b"}, "15412345678\n");
    r.h.Start();
    ASSERT_TRUE(r.h.RunToEnd());
    r.h.window.inputAnswers = {"1"};
    r.h.browser.Serve(r.h.Address(Engine::Sogou, "a", 1),
                      "15412345678\n13800000001\n13912345678\n下一页\n");
    r.h.window.crossRunDedup = c.crossRun;
    r.h.window.validate = c.validate;
    r.h.Start();
    ASSERT_TRUE(r.h.RunToEnd());
    EXPECT_EQ(r.h.run->Buyers().size(), c.secondRunValues) << c.crossRun << c.validate;
    EXPECT_TRUE(r.h.window.Panel(StatusPanel::Message).starts_with("搜索已经结束！"))
        << r.h.window.Panel(StatusPanel::Message);
    EXPECT_TRUE(r.h.window.Panel(StatusPanel::Message).ends_with(c.endNote))
        << r.h.window.Panel(StatusPanel::Message);
  }
}

TEST(StoreRecorder, TheRunACrashCutShortIsOfferedOnce) {
  TempDir dir;
  {
    auto opened = HarvestStore::Open(dir.path() / "brivano.db");
    HarvestStore& store = *opened.store;
    const std::int64_t run = store.BeginRun({"360", ContactKind::Mobile, ""});
    store.AddPage(run, StorePage({.keywordLine = 3,
                                  .keyword = Utf8ToGbk("深圳 旅行社"),
                                  .engine = "360",
                                  .page = 2,
                                  .pageUrl = "https://www.so.com/s?q=x&pn=2",
                                  .timeUtc = UtcNowIso8601()},
                                 {{"13800000001", ContactKind::Mobile, {}}}));
  }  // no ending: the program was killed here
  StoreRecorder recorder(dir.path() / "brivano.db", nullptr);
  const std::optional<UnfinishedRun> run = recorder.TakeUnfinishedRun();
  ASSERT_TRUE(run);
  EXPECT_EQ(run->keywordLine, 3);
  ASSERT_EQ(run->items.size(), 1u);
  EXPECT_EQ(run->items.at(0).source->page, 2);
  EXPECT_FALSE(recorder.TakeUnfinishedRun());  // dealt with
  // No store yet: nothing is offered and nothing is made.
  TempDir empty;
  EXPECT_FALSE(StoreRecorder(empty.path() / "brivano.db", nullptr).TakeUnfinishedRun());
  EXPECT_FALSE(std::filesystem::exists(empty.path() / "brivano.db"));
}

// The sites a run visits are kept in its store at the current UTC time, for
// later runs to leave alone.
TEST(StoreRecorder, KeepsTheSitesARunVisited) {
  StoreRun r;
  r.ServePages(Engine::Sogou, {"a"}, "");
  r.h.Start();
  ASSERT_TRUE(r.h.RunToEnd());
  VisitHistory& history = r.recorder;
  const std::string before = UtcNowIso8601();
  history.MarkVisited("jy.cn");
  const std::string after = UtcNowIso8601();
  const struct {
    const char* domain;
    int days;
    bool visited;
  } looks[] = {{"jy.cn", 1, true}, {"jy.cn", 0, false}, {"ab.cn", 30, false}};
  for (const auto& look : looks) {
    EXPECT_EQ(history.VisitedWithin(look.domain, look.days), look.visited) << look.domain;
  }
  auto opened = HarvestStore::Open(r.dir.path() / "brivano.db");
  auto visit = opened.store->connection().Prepare("SELECT domain, visited_at FROM visited_sites");
  ASSERT_TRUE(visit.Step());
  EXPECT_EQ(visit.ColumnBytes(0), "jy.cn");
  EXPECT_GE(visit.ColumnBytes(1), before);
  EXPECT_LE(visit.ColumnBytes(1), after);
  EXPECT_TRUE(r.reports.empty());
}

TEST(StoreRecorder, AStoreThatCannotBeUsedIsSaidOnceAndTheRunGoesOn) {
  StoreRun r;
  std::filesystem::create_directory(r.dir.path() / "brivano.db");  // not a database
  r.ServePages(Engine::So360, {"a", "b"}, "");
  r.h.Start();
  ASSERT_TRUE(r.h.RunToEnd());
  EXPECT_EQ(r.h.run->Buyers().size(), 4u);
  EXPECT_EQ(r.reports.size(), 1u);
  r.h.window.inputAnswers = {"1"};
  r.h.Start();
  ASSERT_TRUE(r.h.RunToEnd());
  EXPECT_EQ(r.reports.size(), 1u);  // said once
  // Without a store no site was visited, and none is kept.
  r.recorder.MarkVisited("jy.cn");
  EXPECT_FALSE(r.recorder.VisitedWithin("jy.cn", 30));
  EXPECT_EQ(r.reports.size(), 1u);
  // The list keeps every value's page all the same.
  ASSERT_EQ(r.h.run->Buyers().size(), 4u);
  for (const ContactValue& item : r.h.run->Buyers().items()) EXPECT_TRUE(item.source);
}

// Another program that holds the store's write lock, in a process of its own,
// until Release().
class LockHolder {
 public:
  explicit LockHolder(const std::filesystem::path& store) {
    int toChild[2];
    int fromChild[2];
    if (::pipe(toChild) != 0 || ::pipe(fromChild) != 0) return;
    const std::string program =
        (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "store_lock_holder")
            .string();
    child_ = ::fork();
    if (child_ == 0) {
      ::dup2(toChild[0], 0);
      ::dup2(fromChild[1], 1);
      // Its own end of the pipe open would keep it from ever reading the end.
      for (const int fd : {toChild[0], toChild[1], fromChild[0], fromChild[1]}) ::close(fd);
      ::execl(program.c_str(), program.c_str(), store.c_str(), nullptr);
      ::_exit(127);
    }
    ::close(toChild[0]);
    ::close(fromChild[1]);
    release_ = toChild[1];
    char said = 0;
    holding_ = ::read(fromChild[0], &said, 1) == 1 && said == 'L';
    ::close(fromChild[0]);
  }
  ~LockHolder() { Release(); }
  bool Holding() const { return holding_; }
  void Release() {
    if (child_ <= 0) return;
    ::close(release_);
    ::waitpid(child_, nullptr, 0);
    child_ = 0;
  }

 private:
  pid_t child_ = -1;
  int release_ = -1;
  bool holding_ = false;
};

// A store another program holds for a while gets every page once it lets go,
// in order, and its run ends as every run does; one held beyond the patience
// is given up, said, and its run still ends, never to be offered as crashed.
TEST(StoreRecorder, ABusyStoreIsWaitedForOrGivenUpSaying) {
  for (const bool released : {true, false}) {
    SCOPED_TRACE(released ? "released" : "held");
    StoreRun r(released ? StoreRecorder::kDefaultPatienceMs : 0);
    r.ServePages(Engine::So360, {"a", "b"}, "");
    r.h.Start();
    // The run's row and first page are in before the other program comes.
    ASSERT_TRUE(r.h.clock.AdvanceUntil([&] { return r.h.browser.Requests().size() == 2; }, 60000));
    LockHolder other(r.dir.path() / "brivano.db");
    ASSERT_TRUE(other.Holding());
    ASSERT_TRUE(r.h.clock.AdvanceUntil([&] { return r.h.browser.Requests().size() == 4; }, 60000));
    ASSERT_GE(r.reports.size(), 1u);
    EXPECT_NE(r.reports[0].find("正被另一个程序使用"), std::string::npos) << r.reports[0];
    if (released) {
      EXPECT_EQ(r.recorder.Waiting(), 2u);  // pages 2 and 3
      other.Release();
    }
    ASSERT_TRUE(r.h.RunToEnd());
    EXPECT_EQ(r.recorder.Settle(0), released);
    other.Release();
    EXPECT_EQ(r.Items().size(), released ? 4u : 1u);
    ASSERT_EQ(r.reports.size(), released ? 1u : 2u);
    if (!released) {
      EXPECT_NE(r.reports[1].find("本次运行不再写入数据库"), std::string::npos);
    }
    EXPECT_EQ(r.h.run->Buyers().size(), 4u);
    // The next program finds the run ended, not crashed.
    StoreRecorder next(r.dir.path() / "brivano.db", nullptr);
    EXPECT_FALSE(next.TakeUnfinishedRun());
    EXPECT_FALSE(std::filesystem::exists(r.dir.path() / "brivano.db.endings"));
  }
}

}  // namespace
}  // namespace brivano::testing
