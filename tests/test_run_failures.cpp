// Pages that do not load: asked for again with growing waits, then their
// keyword is given up and named; keywords failing in a row mean the network is
// down, and the run waits for it instead of using up the list.
#include <gtest/gtest.h>

#include "search/load_failure_text.h"
#include "testing/run_harness.h"

namespace brivano::testing {
namespace {

// Records how each page step ended.
class OutcomeRecorder : public HarvestRecorder {
 public:
  void RunStarted(const RunOptions&) override {}
  std::int64_t RunId() const override { return 0; }
  bool Accepts(std::string_view, ContactKind) override { return true; }
  void PageHarvested(const HarvestedPage& page) override {
    pages.push_back({page.source->keywordLine, page.source->page, page.outcome});
  }
  void RunEnded(RunOutcome outcome) override { ended = outcome; }
  std::string EndNote() const override { return {}; }

  struct Page {
    std::int32_t line, page;
    PageOutcome outcome;
    bool operator==(const Page&) const = default;
  };
  std::vector<Page> pages;
  std::optional<RunOutcome> ended;
};

// Two pages per keyword, each naming its keyword and page.
struct FailingRun {
  OutcomeRecorder recorder;
  RunHarness h;

  explicit FailingRun(int keywords) {
    h.recorder = &recorder;
    h.Rebuild();
    h.window.engine = Engine::Sogou;
    h.window.pageLimitText = "2";
    for (int k = 1; k <= keywords; ++k) {
      const std::string keyword = "k" + std::to_string(k);
      h.window.keywords.push_back(keyword);
      for (int page = 1; page <= 2; ++page) {
        h.browser.Serve(h.Address(Engine::Sogou, keyword, page),
                        "1380000" + std::to_string(k) + "00" + std::to_string(page) + "\n" +
                            (page == 1 ? "下一页\n" : ""));
      }
    }
  }
};

using Outcome = PageOutcome;

TEST(RunFailures, FailedPagesAreAskedAgainThenTheirKeywordIsNamed) {
  struct Case {
    const char* what;
    int keywords;
    std::set<int> failAt;  // request numbers
    std::size_t values;
    std::vector<std::int32_t> failedLines;
    std::int32_t resumeLine;
    std::vector<OutcomeRecorder::Page> failedPages;
  } cases[] = {
      {"one lost request", 2, {1}, 4, {}, 3, {}},
      {"twice, then it loads", 2, {2, 3}, 4, {}, 3, {}},
      {"page 2 of the first keyword never loads",
       2,
       {2, 3, 4},
       3,
       {1},
       1,
       {{1, 2, Outcome::Failed}}},
      {"two keywords in a row",
       3,
       {1, 2, 3, 4, 5, 6},
       2,
       {1, 2},
       1,
       {{1, 1, Outcome::Failed}, {2, 1, Outcome::Failed}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FailingRun r(c.keywords);
    r.h.browser.failAt = c.failAt;
    r.h.Start();
    ASSERT_TRUE(r.h.RunToEnd());
    EXPECT_EQ(r.h.run->Buyers().size(), c.values);
    EXPECT_EQ(r.h.run->Summary().failedLines, c.failedLines);
    EXPECT_EQ(r.h.run->ResumeLine(), c.resumeLine);
    std::vector<OutcomeRecorder::Page> failed;
    for (const auto& page : r.recorder.pages) {
      if (page.outcome == Outcome::Failed) failed.push_back(page);
    }
    EXPECT_EQ(failed, c.failedPages);
    EXPECT_EQ(r.recorder.ended, c.failedLines.empty() ? RunOutcome::Finished : RunOutcome::Failed);
  }
}

TEST(RunFailures, AFailureIsSaidInTheUsersWords) {
  const std::pair<const char*, const char*> cases[] = {
      {"net::ERR_NAME_NOT_RESOLVED", "无法找到服务器（net::ERR_NAME_NOT_RESOLVED）"},
      {"net::ERR_CONNECTION_TIMED_OUT", "连接超时（net::ERR_CONNECTION_TIMED_OUT）"},
      {"net::ERR_SSL_PROTOCOL_ERROR", "安全连接失败（net::ERR_SSL_PROTOCOL_ERROR）"},
      {"HTTP 503", "服务器错误 503"},
      {"HTTP 404", "页面错误 404"},
      {"页面没有载入", "页面没有载入"},
  };
  for (const auto& [raw, said] : cases) EXPECT_EQ(LoadFailureText(raw), said);
  // In the status bar: what went wrong, then what happens next and when.
  FailingRun r(1);
  r.h.browser.failAt = {1};
  r.h.browser.failure = "net::ERR_CONNECTION_REFUSED";
  r.h.Start();
  ASSERT_TRUE(r.h.clock.AdvanceUntil(
      [&] { return r.h.window.Panel(StatusPanel::Message).starts_with("第1页"); }, 60000));
  EXPECT_EQ(
      r.h.window.Panel(StatusPanel::Message),
      "第1页没有载入：连接被拒绝（net::ERR_CONNECTION_REFUSED），5秒后重试（第 1 次，共 2 次）");
}

TEST(RunFailures, TheWaitsBeforeAskingAgainGrow) {
  FailingRun r(1);
  r.h.browser.failAt = {2, 3};
  r.h.Start();
  ASSERT_TRUE(r.h.RunToEnd());
  const auto times = r.h.browser.RequestTimes();
  ASSERT_EQ(times.size(), 4u);
  EXPECT_GE(times[2] - times[1], 5000);
  EXPECT_GE(times[3] - times[2], 10000);
}

TEST(RunFailures, TheNetworkDownPausesTheRunUntilPagesLoadAgain) {
  FailingRun r(4);
  r.h.browser.failEverything = true;
  r.h.Start();
  ASSERT_TRUE(r.h.clock.AdvanceUntil([&] { return r.h.run->Paused(); }, 3600 * 1000));
  EXPECT_EQ(r.h.run->Pause(), PauseReason::NetworkDown);
  EXPECT_EQ(r.h.window.attention.size(), 1u);
  EXPECT_EQ(r.h.window.Panel(StatusPanel::Message).substr(0, 12), "网络不通");
  // The keywords of the streak are taken back: none is used up.
  EXPECT_TRUE(r.h.run->Summary().failedLines.empty());
  EXPECT_EQ(r.h.run->ResumeLine(), 1);
  // Hours later the network is still down: the run keeps asking, ever more rarely.
  const std::size_t before = r.h.browser.Requests().size();
  r.h.clock.AdvanceBy(3 * 3600 * 1000);
  EXPECT_TRUE(r.h.run->Paused());
  EXPECT_LT(r.h.browser.Requests().size() - before, 50u);
  EXPECT_EQ(r.h.browser.Requests().back(), r.h.Address(Engine::Sogou, "k1", 1));
  // Back on line: the run goes on from the first keyword by itself.
  r.h.browser.failEverything = false;
  ASSERT_TRUE(r.h.RunToEnd());
  EXPECT_EQ(r.h.run->Buyers().size(), 8u);
  EXPECT_TRUE(r.h.run->Summary().failedLines.empty());
  EXPECT_EQ(r.h.run->Summary().keywordsDone, 4);
  EXPECT_EQ(r.h.run->StartLine(), 5);
}

TEST(RunFailures, StopWhileWaitingToAskAgainEndsAtOnce) {
  FailingRun r(2);
  r.h.browser.failAt = {3};
  r.h.Start();
  ASSERT_TRUE(r.h.clock.AdvanceUntil([&] { return r.h.browser.Requests().size() == 3; }, 60000));
  r.h.clock.AdvanceBy(9000);  // the failure is read at the tick; the run waits to ask again
  r.h.run->Stop();
  EXPECT_TRUE(r.h.window.searchEnabled);
  EXPECT_TRUE(r.h.window.Panel(StatusPanel::Message).starts_with("搜索已经结束！"))
      << r.h.window.Panel(StatusPanel::Message);
  EXPECT_EQ(r.h.run->ResumeLine(), 2);  // k2 was under way
  r.h.clock.AdvanceBy(60000);
  EXPECT_EQ(r.h.browser.Requests().size(), 3u);
}

}  // namespace
}  // namespace brivano::testing
