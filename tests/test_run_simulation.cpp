// Whole runs on the virtual clock: start, page cycle, watchdog, stop and end.
#include <gtest/gtest.h>

#include "base/text.h"
#include "testing/run_harness.h"

namespace brivano::testing {
namespace {

constexpr Engine kEngines[] = {Engine::Baidu, Engine::Sogou, Engine::So360, Engine::Bing};

std::string Lines(std::initializer_list<std::string> lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return text;
}

class RunSimulation : public ::testing::Test {
 protected:
  RunHarness h;
  void StartWith(std::vector<std::string> keywords, Engine engine = Engine::So360) {
    h.window.keywords = std::move(keywords);
    h.window.engine = engine;
    h.Start();
  }
};

// ---- Several keywords over several pages, every engine --------------------

struct EveryEnginePagesThroughEveryKeywordCase {
  Engine engine;
  std::vector<std::string> pageValues;
};
class EveryEnginePagesThroughEveryKeyword
    : public ::testing::TestWithParam<EveryEnginePagesThroughEveryKeywordCase> {
 protected:
  RunHarness h;
};

TEST_P(EveryEnginePagesThroughEveryKeyword, Case) {
  const EveryEnginePagesThroughEveryKeywordCase& c = GetParam();
  h.window.pageLimitText = "3";
  h.window.engine = c.engine;
  h.window.keywords = {"深圳 旅行社", "北京 酒店"};
  h.browser.ServeAnyAddress(
      Lines({"标题", "手机 13800000000", RunHarness::NextPageLine(c.engine)}));
  h.Start();
  ASSERT_TRUE(h.RunToEnd());

  std::vector<std::string> expected;
  for (const char* keyword : {"深圳 旅行社", "北京 酒店"}) {
    for (int page = 1; page <= 3; ++page) expected.push_back(h.Address(c.engine, keyword, page));
  }
  ASSERT_EQ(h.browser.Requests(), expected);
  const std::string base = h.Address(c.engine, "北京 酒店", 1);
  for (int i = 0; i < 3; ++i) {
    const std::string& address = h.browser.Requests()[3 + i];
    EXPECT_EQ(address.substr(address.size() - c.pageValues[i].size()), c.pageValues[i]);
  }
  EXPECT_EQ(h.window.Panel(StatusPanel::Message),
            "搜索已经结束！关键词完成 2 个，失败 0 个；读取 6 页，验证页面 0 次，保留 6 条");
  EXPECT_EQ(h.run->StartLine(), 3);
  EXPECT_EQ(h.window.saveStates, 1);
  EXPECT_TRUE(h.window.groupsEnabled);
  EXPECT_FALSE(h.window.stopEnabled);
  EXPECT_EQ(h.run->BuyerCounter(), 6);
  EXPECT_EQ(h.window.panels[7], "6");
  EXPECT_EQ(h.window.cacheClears, c.engine == Engine::Baidu ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(RunSimulation, EveryEnginePagesThroughEveryKeyword,
                         ::testing::ValuesIn(std::vector<EveryEnginePagesThroughEveryKeywordCase>{
                             {Engine::Baidu, {"0", "10", "20"}},
                             {Engine::Sogou, {"1", "2", "3"}},
                             {Engine::So360, {"1", "2", "3"}},
                             {Engine::Bing, {"1", "11", "21"}},
                         }));

struct FirstRequestAddressesCase {
  Engine engine;
  const char* address;
};
class FirstRequestAddresses : public ::testing::TestWithParam<FirstRequestAddressesCase> {
 protected:
  RunHarness h;
};

// The query goes into the address with the engine's own encoding.
TEST_P(FirstRequestAddresses, Case) {
  const FirstRequestAddressesCase& c = GetParam();
  h.window.engine = c.engine;
  h.window.keywords = {"深圳 旅行社"};
  h.Start();
  h.clock.AdvanceBy(600);
  ASSERT_EQ(h.browser.Requests().size(), 1u);
  EXPECT_EQ(h.browser.Requests()[0], c.address);
  EXPECT_EQ(h.run->PageAddress(), c.address);
}

INSTANTIATE_TEST_SUITE_P(
    RunSimulation, FirstRequestAddresses,
    ::testing::ValuesIn(std::vector<FirstRequestAddressesCase>{
        {Engine::Baidu,
         "http://engine.test/s?wd=%C9%EE%DB%DA+%C2%C3%D0%D0%C9%E7+%CA%D6%BB%FA%3A&pn=0"},
        {Engine::Sogou,
         "http://engine.test/tx?query=%C9%EE%DB%DA+%C2%C3%D0%D0%C9%E7+%CA%D6%BB%FA%3A&page=1"},
        {Engine::So360,
         "http://engine.test/"
         "s?q=%E6%B7%B1%E5%9C%B3%20%E6%97%85%E8%A1%8C%E7%A4%BE%20%E6%89%8B%E6%9C%BA%3A&pn=1"},
        {Engine::Bing,
         "http://engine.test/"
         "search?q=%E6%B7%B1%E5%9C%B3%20%E6%97%85%E8%A1%8C%E7%A4%BE%20%E6%89%8B%E6%9C%BA%3A&first="
         "1"},
    }));

// ---- Next-page rules --------------------------------------------------------

const std::string beyondCut = std::string(4096, 'x') + "下一页";
struct NextPageRulesCase {
  Engine engine;
  std::string line;
  bool continues;
};
class NextPageRules : public ::testing::TestWithParam<NextPageRulesCase> {
 protected:
  RunHarness h;
};

TEST_P(NextPageRules, Case) {
  const NextPageRulesCase& c = GetParam();
  h.window.engine = c.engine;
  h.window.keywords = {"k"};
  h.browser.ServeAnyAddress(Lines({"结果", c.line}));
  h.Start();
  h.clock.AdvanceBy(600 + 8000);  // the first tick
  const std::size_t expected = c.continues ? 2 : 1;
  EXPECT_EQ(h.browser.Requests().size(), expected) << c.line;
  EXPECT_EQ(h.run->NextPageFlag(), c.continues) << c.line;
  EXPECT_EQ(h.Running(), c.continues) << c.line;
}

INSTANTIATE_TEST_SUITE_P(RunSimulation, NextPageRules,
                         ::testing::ValuesIn(std::vector<NextPageRulesCase>{
                             {Engine::Baidu, "下一页>", true},
                             {Engine::Baidu, "上一页 1 2 3 下一页 >", true},
                             {Engine::Baidu, "下一页", false},
                             {Engine::Baidu, "下一页》", false},
                             {Engine::Sogou, "下一页", true},
                             {Engine::Sogou, "下一页 >", true},
                             {Engine::Sogou, " 下一页", false},
                             {Engine::Sogou, "上一页 下一页", false},
                             {Engine::So360, "上一页 下一页", true},
                             {Engine::So360, "下一页", true},
                             {Engine::So360, beyondCut, false},
                             {Engine::So360, "下 一 页", false},
                             {Engine::Bing, "下一页", true},
                             {Engine::Bing, "1 2 下一页", false},
                         }));

TEST_F(RunSimulation, EmptyPageEndsTheKeyword) {
  h.browser.ServeAnyAddress("");
  StartWith({"a", "b"});
  ASSERT_TRUE(h.RunToEnd());
  EXPECT_EQ(h.browser.Requests().size(), 2u);
  EXPECT_EQ(h.run->StartLine(), 3);
}

// ---- Page limits --------------------------------------------------------------

class EveryEngine : public ::testing::TestWithParam<Engine> {
 protected:
  RunHarness h;
  const Engine engine = GetParam();
};

TEST_P(EveryEngine, PageLimitOneTakesOnePagePerKeyword) {
  h.window.pageLimitText = "1";
  h.window.engine = engine;
  h.window.keywords = {"a", "b", "c"};
  h.browser.ServeAnyAddress(Lines({RunHarness::NextPageLine(engine)}));
  h.Start();
  ASSERT_TRUE(h.RunToEnd());
  EXPECT_EQ(h.browser.Requests(),
            (std::vector<std::string>{h.Address(engine, "a", 1), h.Address(engine, "b", 1),
                                      h.Address(engine, "c", 1)}));
}

TEST_F(RunSimulation, PageLimitOneLetsTheWatchdogEndALongList) {
  // With one page per keyword the page counter reads the same at every
  // watchdog firing, so the second firing takes the run for stalled and,
  // the next-page flag being false, ends it.
  std::vector<std::string> keywords;
  for (int i = 0; i < 40; ++i) keywords.push_back("k" + std::to_string(i));
  h.window.pageLimitText = "1";
  h.browser.ServeAnyAddress(Lines({"下一页"}));
  StartWith(keywords);
  ASSERT_TRUE(h.RunToEnd());
  EXPECT_EQ(h.clock.Now(), 120000);
  EXPECT_EQ(h.browser.Requests().size(), 16u);  // 0 s, then one per 8-second tick up to 120 s
  EXPECT_TRUE(h.window.Panel(StatusPanel::Message).starts_with("搜索已经结束！"));
  EXPECT_LT(h.run->StartLine(), 41);
}

TEST_P(EveryEngine, PageLimit76) {
  h.window.pageLimitText = "76";
  h.window.speedText = "3";
  h.window.engine = engine;
  h.window.keywords = {"a"};
  h.browser.ServeAnyAddress(Lines({RunHarness::NextPageLine(engine)}));
  h.Start();
  ASSERT_TRUE(h.RunToEnd());
  ASSERT_EQ(h.browser.Requests().size(), 76u);
  EXPECT_EQ(h.browser.Requests().back(), h.Address(engine, "a", 76));
}

// ---- Stop --------------------------------------------------------------------

TEST_F(RunSimulation, StopBetweenTicksHarvestsThePageInHand) {
  h.browser.ServeAnyAddress(Lines({"13800000000", "下一页"}));
  StartWith({"a", "b"});
  h.clock.AdvanceBy(3000);
  h.run->Stop();
  EXPECT_EQ(h.window.Panel(StatusPanel::Message), "终止搜索...");
  EXPECT_TRUE(h.window.searchEnabled);
  EXPECT_FALSE(h.window.stopEnabled);
  EXPECT_TRUE(h.window.groupsEnabled);
  EXPECT_FALSE(h.run->Watchdog().Enabled());
  EXPECT_TRUE(h.run->PageTimer().Enabled());
  EXPECT_EQ(h.window.saveStates, 0);

  h.clock.AdvanceBy(5000);  // the tick
  EXPECT_TRUE(h.window.Panel(StatusPanel::Message).starts_with("搜索已经结束！"));
  EXPECT_EQ(h.run->BuyerCounter(), 1);
  EXPECT_EQ(h.browser.Requests().size(), 1u);
  EXPECT_EQ(h.window.saveStates, 1);
  EXPECT_FALSE(h.run->PageTimer().Enabled());
  EXPECT_EQ(h.run->StartLine(), 2);  // "a" is not taken again
}

TEST_F(RunSimulation, StopWhileIdleDoesNothing) {
  h.window.keywords = {"a"};
  h.run->Stop();
  EXPECT_FALSE(h.run->StopFlag());
  EXPECT_EQ(h.window.Panel(StatusPanel::Message), "");
  EXPECT_TRUE(h.window.stopEnabled);
}

TEST_F(RunSimulation, FinalStepUsesTheChoicesTickedAfterTheStop) {
  h.browser.ServeAnyAddress(Lines({"13800000000 qq 12345"}));
  StartWith({"a"});
  h.run->Stop();
  h.window.kind = ContactKind::Fax;  // groups are enabled again
  h.OptionsChanged();
  h.clock.AdvanceBy(8000);
  EXPECT_EQ(h.run->Buyers().size(), 0u);  // the mobile number is not what is harvested now
  EXPECT_TRUE(h.window.Panel(StatusPanel::Message).starts_with("搜索已经结束！"));
}

TEST_F(RunSimulation, RestartBeforeTheStoppedRunsTickStartsAtOnce) {
  h.browser.ServeAnyAddress(Lines({"下一页"}));
  StartWith({"a", "b", "c"});
  h.clock.AdvanceBy(5000);
  h.run->Stop();
  h.Start();  // offers line 2
  EXPECT_EQ(h.window.offeredStartLines.back(), "2");
  EXPECT_EQ(h.browser.Requests().back(), h.Address(Engine::So360, "b", 1));
  // The stopped run's timer is still armed: the first tick comes 3 s later.
  h.clock.AdvanceBy(3000);
  EXPECT_EQ(h.browser.Requests().back(), h.Address(Engine::So360, "b", 2));
}

// ---- Watchdog ------------------------------------------------------------------

TEST_F(RunSimulation, WatchdogRecoversAfterATickWithoutADocument) {
  h.browser.ServeAnyAddress(Lines({"下一页"}));
  StartWith({"a"});
  h.browser.ForgetDocument();
  h.clock.AdvanceBy(8000);  // tick finds no document
  EXPECT_FALSE(h.run->PageTimer().Enabled());
  EXPECT_EQ(h.browser.Requests().size(), 1u);
  h.clock.AdvanceBy(60000 - 8000);  // first firing: counter moved from 0
  EXPECT_EQ(h.browser.Requests().size(), 1u);
  h.clock.AdvanceBy(60000);  // second firing: stalled, next page requested
  ASSERT_EQ(h.browser.Requests().size(), 2u);
  EXPECT_EQ(h.browser.RequestTimes()[1], 120000);
  EXPECT_EQ(h.browser.Requests()[1], h.Address(Engine::So360, "a", 2));
  EXPECT_TRUE(h.run->PageTimer().Enabled());
  h.clock.AdvanceBy(8000);  // the cycle goes on
  EXPECT_EQ(h.browser.Requests().size(), 3u);
}

TEST_F(RunSimulation, ReadThatNeverAnswersIsGivenUp) {
  h.browser.ServeAnyAddress(Lines({"下一页"}));
  StartWith({"a"});
  h.browser.neverAnswer = true;
  h.clock.AdvanceBy(8000);
  EXPECT_TRUE(h.run->ReadPending());
  h.clock.AdvanceBy(60000 - 8000);  // watchdog firing while the read is pending: no request
  EXPECT_EQ(h.browser.Requests().size(), 1u);
  EXPECT_FALSE(h.run->ReadPending());  // given up after 20 s
  h.browser.neverAnswer = false;
  h.clock.AdvanceBy(60000);
  EXPECT_EQ(h.browser.Requests().size(), 2u);
}

TEST_F(RunSimulation, LateAnswerAfterANewerRequestIsDropped) {
  h.browser.ServeAnyAddress(Lines({"13800000000", "下一页"}));
  h.browser.answerDelayMs = 30000;
  StartWith({"a", "b"});
  h.clock.AdvanceBy(8000);  // tick, read pending for 30 s (given up after 20 s)
  h.run->Stop();
  h.browser.answerDelayMs = -1;
  h.Start();  // new run, new request
  const auto requests = h.browser.Requests().size();
  h.clock.AdvanceBy(25000);  // the old answer arrives: dropped
  EXPECT_GE(h.browser.Requests().size(), requests);
  // Only pages read for the new run count.
  EXPECT_EQ(static_cast<std::size_t>(h.run->BuyerCounter()),
            h.browser.Requests().size() - requests);
}

TEST_F(RunSimulation, SlowAnswersStillDriveTheCycle) {
  h.browser.answerDelayMs = 2000;
  h.browser.ServeAnyAddress(Lines({"13800000000", "下一页"}));
  h.window.pageLimitText = "2";
  StartWith({"a"});
  ASSERT_TRUE(h.RunToEnd());
  EXPECT_EQ(h.browser.Requests().size(), 2u);
  EXPECT_EQ(h.browser.RequestTimes()[1], 10000);
  EXPECT_EQ(h.run->BuyerCounter(), 2);
}

// ---- Auto-save clock ------------------------------------------------------------

struct AutoSaveProbe {
  RunHarness& h;
  std::vector<int> ticksAtSave;  // the tick (1-based) during which a save ran
  explicit AutoSaveProbe(RunHarness& harness) : h(harness) {
    // The end of a run turns the watchdog off before its save; an auto-save
    // runs inside a tick, with the watchdog on.
    h.window.onSaveState = [this] {
      if (h.run->Watchdog().Enabled()) ticksAtSave.push_back(h.browser.Reads() + 1);
    };
  }
};

struct AutoSaveCase {
  const char* speed;
  int tick;
};
class AutoSaveClock : public ::testing::TestWithParam<AutoSaveCase> {
 protected:
  RunHarness h;
};

TEST_P(AutoSaveClock, FallsDueAt600Seconds) {
  const AutoSaveCase& c = GetParam();
  AutoSaveProbe probe(h);
  h.window.speedText = c.speed;
  h.window.autoSave = true;
  h.window.pageLimitText = "76";
  h.browser.ServeAnyAddress(Lines({"下一页"}));
  h.window.keywords = std::vector<std::string>(10, "k");
  h.Start();
  h.clock.AdvanceBy(static_cast<long long>(c.tick) * std::atoi(c.speed) * 1000 + 100);
  ASSERT_FALSE(probe.ticksAtSave.empty()) << c.speed;
  EXPECT_EQ(probe.ticksAtSave[0], c.tick) << c.speed;
}

INSTANTIATE_TEST_SUITE_P(RunSimulation, AutoSaveClock,
                         ::testing::ValuesIn(std::vector<AutoSaveCase>{
                             {"8", 75}, {"7", 86}, {"600", 1}, {"1000", 1}, {"3", 200}}));

TEST_F(RunSimulation, AutoSaveClockCountsAcrossRunsAndNeedsTheBox) {
  AutoSaveProbe probe(h);
  h.window.autoSave = false;
  h.window.pageLimitText = "50";
  h.browser.ServeAnyAddress(Lines({"下一页"}));
  StartWith({"a"});
  ASSERT_TRUE(h.RunToEnd());  // 50 ticks at 8 s: the clock stands at 400
  EXPECT_EQ(h.run->AutoSaveClock(), 400);
  EXPECT_TRUE(probe.ticksAtSave.empty());

  h.window.autoSave = true;
  h.window.inputAnswers = {"1"};
  h.Start();
  const int readsBefore = h.browser.Reads();
  h.clock.AdvanceBy(30 * 8000);
  ASSERT_EQ(probe.ticksAtSave.size(), 1u);
  EXPECT_EQ(probe.ticksAtSave[0] - readsBefore, 25);  // 400 + 25 × 8 = 600
}

TEST_F(RunSimulation, FailedAutoSaveEndsTheTickWithoutHarvesting) {
  h.window.autoSave = true;
  h.window.speedText = "630";  // the first tick comes after two watchdog firings
  h.window.saveStateSucceeds = false;
  h.browser.ServeAnyAddress(Lines({"13800000000", "下一页"}));
  StartWith({"a"});
  h.clock.AdvanceBy(630000);
  EXPECT_EQ(h.run->BuyerCounter(), 0);
  EXPECT_EQ(h.browser.Reads(), 0);
  EXPECT_FALSE(h.run->PageTimer().Enabled());
  EXPECT_TRUE(h.Running());
}

// ---- Speed and page limit changed during a run ---------------------------------

TEST_F(RunSimulation, SpeedChangeTakesEffectAtTheNextTick) {
  h.browser.ServeAnyAddress(Lines({"下一页"}));
  StartWith({"a"});
  h.clock.AdvanceBy(5000);
  h.window.speedText = "20";
  h.OptionsChanged();
  h.clock.AdvanceBy(60000);
  const auto times = h.browser.RequestTimes();
  ASSERT_GE(times.size(), 4u);
  EXPECT_EQ(times[1], 8000);
  EXPECT_EQ(times[2], 28000);
  EXPECT_EQ(times[3], 48000);
  EXPECT_EQ(h.run->AutoSaveClock(), 8 * 0 + 20 * 3);
}

TEST_F(RunSimulation, PageLimitChangeTakesEffectAtTheNextStep) {
  h.browser.ServeAnyAddress(Lines({"下一页"}));
  StartWith({"a", "b"});
  h.clock.AdvanceBy(8000);  // page 2 of "a" requested
  h.window.pageLimitText = "2";
  h.OptionsChanged();
  ASSERT_TRUE(h.RunToEnd());
  EXPECT_EQ(h.browser.Requests(),
            (std::vector<std::string>{
                h.Address(Engine::So360, "a", 1), h.Address(Engine::So360, "a", 2),
                h.Address(Engine::So360, "b", 1), h.Address(Engine::So360, "b", 2)}));
}

TEST_F(RunSimulation, SpeedTextThatIsNoNumberReadsAsTheMinimum) {
  h.window.speedText = "abc";
  h.browser.ServeAnyAddress(Lines({"下一页"}));
  StartWith({"a"});
  h.clock.AdvanceBy(3000);
  EXPECT_EQ(h.browser.Requests().size(), 2u);
  // A speed of zero would stop a desktop timer for good; the run keeps a
  // one-second period instead.
  h.window.speedText = "0";
  h.OptionsChanged();
  h.clock.AdvanceBy(3000 + 1000);
  EXPECT_EQ(h.browser.Requests().size(), 4u);
}

// ---- The start-line prompt --------------------------------------------------------

struct StartLinePromptCase {
  std::optional<std::string> answer;
  bool starts;
  int firstKeyword;  // 1-based, when it starts
  std::vector<std::string> shown;
};
class StartLinePrompt : public ::testing::TestWithParam<StartLinePromptCase> {
 protected:
  RunHarness h;
};

TEST_P(StartLinePrompt, Case) {
  const StartLinePromptCase& c = GetParam();
  h.window.keywords = {"a", "b", "c"};
  h.run->SetStartLine(2);
  h.window.inputAnswers = {c.answer};
  h.Start();
  h.clock.AdvanceBy(100);
  const std::string label = c.answer.value_or("<cancel>");
  ASSERT_EQ(h.window.prompts.size(), 1u);
  EXPECT_EQ(h.window.prompts[0], "搜索参数设置|请输入关键词搜索起始行数（共 3 行）");
  EXPECT_EQ(h.window.offeredStartLines[0], "2");
  std::vector<std::string> shown;
  for (const auto& s : h.window.shown) shown.push_back(s.kind + ":" + s.text);
  EXPECT_EQ(shown, c.shown) << label;
  EXPECT_EQ(h.Running(), c.starts) << label;
  if (c.starts) {
    ASSERT_EQ(h.browser.Requests().size(), 1u) << label;
    const std::string keyword(1, static_cast<char>('a' + c.firstKeyword - 1));
    EXPECT_EQ(h.browser.Requests()[0], h.Address(Engine::So360, keyword, 1)) << label;
    EXPECT_EQ(h.window.panels[3], std::to_string(c.firstKeyword)) << label;
  } else {
    EXPECT_TRUE(h.browser.Requests().empty()) << label;
    EXPECT_EQ(h.run->StartLine(), 2) << label;  // unchanged
  }
}

INSTANTIATE_TEST_SUITE_P(
    RunSimulation, StartLinePrompt,
    ::testing::ValuesIn(std::vector<StartLinePromptCase>{
        {std::nullopt, false, 0, {}},
        {"0", true, 1, {}},
        {"-5", true, 1, {}},
        {"2", true, 2, {}},
        {"$3", true, 3, {}},
        {" 3", true, 3, {}},
        {"3", true, 3, {}},
        {"4", true, 1, {"message:搜索起始行数超过关键词列表总行数！"}},
        {"abc", false, 0, {"error:'abc' is not a valid integer value"}},
        {"", false, 0, {"error:'' is not a valid integer value"}},
        {"99999999999999999999",
         false,
         0,
         {"error:'99999999999999999999' is not a valid integer value"}},
        {"2147483647", true, 1, {"message:搜索起始行数超过关键词列表总行数！"}},
    }));

TEST_F(RunSimulation, StartLineZeroIsOfferedAsOne) {
  h.window.keywords = {"a"};
  h.run->SetStartLine(0);
  h.window.inputAnswers = {std::nullopt};
  h.Start();
  EXPECT_EQ(h.window.offeredStartLines[0], "1");
  EXPECT_EQ(h.run->StartLine(), 1);
}

TEST_F(RunSimulation, RefusedStarts) {
  h.window.keywords = {"a"};
  h.localAddress = "127.0.0.1";
  h.Start();
  ASSERT_EQ(h.window.shown.size(), 1u);
  EXPECT_EQ(h.window.shown[0].kind, "information");
  EXPECT_EQ(h.window.shown[0].text, "您还没有连接到网上！");
  EXPECT_TRUE(h.window.prompts.empty());

  h.localAddress = "";  // a name that does not resolve is no reason to refuse
  h.window.keywords.clear();
  h.Start();
  ASSERT_EQ(h.window.shown.size(), 2u);
  EXPECT_EQ(h.window.shown[1].kind, "error");
  EXPECT_EQ(h.window.shown[1].text, "请先输入搜索关键词列表");
  EXPECT_TRUE(h.window.searchEnabled);
  EXPECT_TRUE(h.window.groupsEnabled);
}

// ---- Status panels ---------------------------------------------------------------------

TEST_F(RunSimulation, StatusPanelsFollowEachStep) {
  h.browser.ServeAnyAddress(Lines({"13800000000 13900000000", "下一页"}));
  h.window.pageLimitText = "2";
  h.window.inputAnswers = {"2"};
  StartWith({"a", "b", "c"}, Engine::Sogou);
  EXPECT_EQ(h.window.panels[1], "3");
  EXPECT_EQ(h.window.panels[3], "2");
  EXPECT_EQ(h.window.panels[5], "1");
  EXPECT_EQ(h.window.panels[7], "0");
  EXPECT_EQ(h.window.Panel(StatusPanel::Message), "正在搜狗(sogou.com)引擎搜索买家...");
  EXPECT_FALSE(h.window.groupsEnabled);
  EXPECT_FALSE(h.window.searchEnabled);
  EXPECT_TRUE(h.window.stopEnabled);

  h.clock.AdvanceBy(8000);  // page 2 of line 2
  EXPECT_EQ(h.window.panels[3], "2");
  EXPECT_EQ(h.window.panels[5], "2");
  EXPECT_EQ(h.window.panels[7], "2");

  h.clock.AdvanceBy(8000);  // page 1 of line 3
  EXPECT_EQ(h.window.panels[3], "3");
  EXPECT_EQ(h.window.panels[5], "1");
  EXPECT_EQ(h.window.panels[7], "4");
  EXPECT_EQ(h.window.Panel(StatusPanel::Message), "正在搜狗(sogou.com)引擎搜索买家...");
}

TEST_P(EveryEngine, EngineStatusTexts) {
  const char* expected[] = {"正在百度(baidu.com)引擎搜索买家...",
                            "正在搜狗(sogou.com)引擎搜索买家...", "正在360(so.com)引擎搜索买家...",
                            "正在必应(bing.com)引擎搜索买家..."};
  h.window.engine = engine;
  h.window.keywords = {"a"};
  h.Start();
  h.clock.AdvanceBy(600);
  EXPECT_EQ(h.window.Panel(StatusPanel::Message), expected[static_cast<int>(engine)]);
}

INSTANTIATE_TEST_SUITE_P(RunSimulation, EveryEngine, ::testing::ValuesIn(kEngines));

// ---- Baidu's cleared browser -----------------------------------------------------------

TEST_F(RunSimulation, BaiduClearsTheBrowserHalfASecondBeforeItsFirstRequest) {
  StartWith({"a"}, Engine::Baidu);
  EXPECT_EQ(h.window.Panel(StatusPanel::Message), "稍等，正在启动搜索...");
  EXPECT_TRUE(h.browser.Requests().empty());
  EXPECT_EQ(h.window.cacheClears, 0);
  h.clock.AdvanceBy(500);
  EXPECT_EQ(h.window.cacheClears, 1);
  ASSERT_EQ(h.browser.RequestTimes().size(), 1u);
  EXPECT_EQ(h.browser.RequestTimes()[0], 500);
}

// ---- Resume ------------------------------------------------------------------------------

TEST_F(RunSimulation, ResumeAfterACompleteRunAndAfterAStop) {
  h.browser.ServeAnyAddress("");
  StartWith({"1", "2", "3", "4", "5"});
  ASSERT_TRUE(h.RunToEnd());
  EXPECT_EQ(h.run->StartLine(), 6);

  const std::size_t shown = h.window.shown.size();
  h.Start();  // the list was done: offers its first line, without a word
  EXPECT_EQ(h.window.offeredStartLines.back(), "1");
  EXPECT_EQ(h.window.shown.size(), shown);
  EXPECT_EQ(h.browser.Requests().back(), h.Address(Engine::So360, "1", 1));
  h.clock.AdvanceBy(8000);  // now on "2"
  h.run->Stop();
  h.clock.AdvanceBy(8000);
  ASSERT_FALSE(h.Running());
  h.window.inputAnswers = {std::nullopt};
  h.Start();
  EXPECT_EQ(h.window.offeredStartLines.back(), "3");
}

// ---- Failures of the state save and the browser ----------------------------------------------

TEST_F(RunSimulation, FailedSaveAtTheEndLeavesTheControlsRunning) {
  h.window.saveStateSucceeds = false;
  h.browser.ServeAnyAddress("");
  StartWith({"a"});
  h.clock.AdvanceBy(8000);
  EXPECT_FALSE(h.run->PageTimer().Enabled());
  EXPECT_FALSE(h.run->Watchdog().Enabled());
  EXPECT_FALSE(h.window.searchEnabled);
  EXPECT_FALSE(h.window.groupsEnabled);
  EXPECT_EQ(h.window.Panel(StatusPanel::Message), "正在360(so.com)引擎搜索买家...");
  h.run->Stop();
  EXPECT_TRUE(h.window.searchEnabled);
  EXPECT_EQ(h.window.Panel(StatusPanel::Message), "终止搜索...");
}

TEST_F(RunSimulation, NavigateErrorsAreIgnored) {
  h.browser.throwOnNavigate = true;
  h.browser.ServeAnyAddress(Lines({"下一页"}));
  StartWith({"a"});
  EXPECT_TRUE(h.run->PageTimer().Enabled());
  h.clock.AdvanceBy(8000);
  EXPECT_EQ(h.browser.Requests().size(), 1u);  // no document: the tick ended
}

// ---- De-duplication across the pages of a run ---------------------------------------------------

TEST_F(RunSimulation, DedupAcrossPagesAndTheCounter) {
  h.browser.ServeAnyAddress(Lines({"13800000000 13800000000", "下一页"}));
  h.window.pageLimitText = "3";
  StartWith({"a"});
  h.clock.AdvanceBy(8000);
  EXPECT_EQ(h.run->BuyerCounter(), 2);  // not ticked: both listed
  h.window.dedup = true;
  h.OptionsChanged();
  ASSERT_TRUE(h.RunToEnd());
  EXPECT_EQ(h.run->BuyerCounter(), 2);
  EXPECT_EQ(h.run->Buyers().size(), 2u);
  EXPECT_EQ(h.window.panels[7], "2");

  h.Start();  // a new run empties the list and the counter
  EXPECT_EQ(h.run->Buyers().size(), 0u);
  EXPECT_EQ(h.window.panels[7], "0");
}

// ---- Bad input ----------------------------------------------------------------------------

TEST_F(RunSimulation, BadPagesNeverStopTheRun) {
  std::string nulPage = "13800000000\r\n";
  nulPage.push_back('\0');
  nulPage += "13900000000\r\n下一页";
  std::string hugeLine(10 * 1024 * 1024, '1');
  hugeLine += "\r\n下一页";
  const std::string invalid = "\xFF\xFE\x81\r\n13700000000\r\n下一页";
  const std::string outside = "😀13600000000 15800000000\r\n下一页";
  h.browser.Serve(h.Address(Engine::So360, "a", 1), nulPage);
  h.browser.Serve(h.Address(Engine::So360, "b", 1), hugeLine);
  h.browser.Serve(h.Address(Engine::So360, "b", 2), invalid);
  h.browser.Serve(h.Address(Engine::So360, "b", 3), outside);
  h.browser.ServeAnyAddress("");
  h.window.pageLimitText = "3";
  StartWith({"a", "b", "\x01\x02  ", "   "});
  ASSERT_TRUE(h.RunToEnd());
  std::vector<std::string> captions;
  for (const auto& item : h.run->Buyers().items()) captions.push_back(item.value);
  // The NUL ends the first page before its second number and its link.
  EXPECT_EQ(captions,
            (std::vector<std::string>{"13800000000", "13700000000", "13600000000", "15800000000"}));
  // Blank and control-only keyword lines still make a query of the mark.
  EXPECT_EQ(h.browser.Requests().size(), 6u);
  EXPECT_EQ(h.browser.Requests()[4], h.Address(Engine::So360, "", 1));
}

}  // namespace
}  // namespace brivano::testing
