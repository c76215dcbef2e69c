// Runs as real engines and machines treat them: verification walls, pages that
// load late or never, the network check, the rest between keywords and the
// Baidu cleaner that must finish before the first request.
#include <gtest/gtest.h>

#include "base/text.h"
#include "search/verification.h"
#include "testing/run_harness.h"

namespace brivano::testing {
namespace {

// Three pages per keyword; every page names its keyword and number.
struct WallRun {
  RunHarness h;
  std::vector<std::string> keywords = {"深圳 旅行社", "北京 酒店"};

  explicit WallRun(Engine engine = Engine::Baidu) {
    h.window.engine = engine;
    h.window.keywords = keywords;
    h.window.pageLimitText = "3";
    for (std::size_t k = 0; k < keywords.size(); ++k) {
      for (int page = 1; page <= 3; ++page) {
        std::string body = "手机 1380000" + std::to_string(k) + "00" + std::to_string(page) + "\n";
        if (page < 3) body += RunHarness::NextPageLine(engine) + "\n";
        h.browser.Serve(h.Address(engine, keywords[k], page), body);
      }
    }
  }

  std::vector<std::string> Values() const {
    std::vector<std::string> values;
    for (const auto& item : h.run->Buyers().items()) values.push_back(item.value);
    return values;
  }
  // The requests without the repetitions a wall causes.
  std::vector<std::string> DistinctRequests() const {
    std::vector<std::string> distinct;
    for (const std::string& r : h.browser.Requests()) {
      if (distinct.empty() || distinct.back() != r) distinct.push_back(r);
    }
    return distinct;
  }
};

TEST(RunWalls, AVerificationPagePausesAndTheHarvestStaysWhole) {
  WallRun plain;
  plain.h.Start();
  ASSERT_TRUE(plain.h.RunToEnd());
  ASSERT_EQ(plain.Values().size(), 6u);

  struct Case {
    const char* where;
    std::set<int> wallAt;  // request numbers
    int pauses;
  } cases[] = {
      {"first page", {1}, 1},
      {"middle of a keyword", {2}, 1},
      {"last page of a keyword", {3}, 1},
      {"first page of the next keyword", {4}, 1},
      {"twice in a row", {2, 3}, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.where);
    WallRun walled;
    walled.h.browser.wallAt = c.wallAt;
    walled.h.Start();
    int pauses = 0;
    auto ended = [&] {
      return walled.h.window.searchEnabled && !walled.h.run->PageTimer().Enabled();
    };
    while (walled.h.clock.AdvanceUntil([&] { return ended() || walled.h.run->Paused(); },
                                       3600 * 1000, 250) &&
           !ended()) {
      ++pauses;
      EXPECT_EQ(walled.h.window.Panel(StatusPanel::Message),
                "检测到验证页面，请在下方浏览器中完成验证，完成后自动继续");
      EXPECT_FALSE(walled.h.run->PageTimer().Enabled());
      EXPECT_FALSE(walled.h.run->Watchdog().Enabled());
      // Long unsolved: the run waits, whatever the time.
      walled.h.clock.AdvanceBy(600 * 1000);
      EXPECT_TRUE(walled.h.run->Paused());
      // The user solves it; the engine sends them back to its pages.
      walled.h.browser.ShowPage("http://engine.test/", "百度一下\n");
      walled.h.clock.AdvanceBy(1000);
    }
    ASSERT_TRUE(ended());
    EXPECT_EQ(pauses, c.pauses);
    EXPECT_EQ(walled.h.window.attention.size(), static_cast<std::size_t>(c.pauses));
    EXPECT_EQ(walled.Values(), plain.Values());
    EXPECT_EQ(walled.DistinctRequests(), plain.h.browser.Requests());
    EXPECT_EQ(walled.h.run->StartLine(), plain.h.run->StartLine());
    EXPECT_EQ(walled.h.window.panels[7], plain.h.window.panels[7]);
    EXPECT_NE(walled.h.window.Panel(StatusPanel::Message)
                  .find("失败 0 个；读取 " + std::to_string(plain.h.browser.Requests().size()) +
                        " 页，验证页面 " + std::to_string(c.pauses) + " 次"),
              std::string::npos)
        << walled.h.window.Panel(StatusPanel::Message);
  }
}

TEST(RunWalls, StopDuringAPauseEndsTheRun) {
  WallRun walled;
  walled.h.browser.wallAt = {2};
  walled.h.Start();
  ASSERT_TRUE(walled.h.clock.AdvanceUntil([&] { return walled.h.run->Paused(); }, 60000));
  const std::size_t requests = walled.h.browser.Requests().size();
  walled.h.run->Stop();
  EXPECT_FALSE(walled.h.run->Paused());
  EXPECT_TRUE(walled.h.window.Panel(StatusPanel::Message).starts_with("搜索已经结束！"));
  EXPECT_EQ(walled.h.window.saveStates, 1);
  EXPECT_TRUE(walled.h.window.searchEnabled);
  EXPECT_EQ(walled.h.run->StartLine(), 2);
  walled.h.clock.AdvanceBy(600 * 1000);
  EXPECT_EQ(walled.h.browser.Requests().size(), requests);
  EXPECT_EQ(walled.Values(), std::vector<std::string>{"13800000001"});
}

TEST(RunWalls, ATickNeverReadsTheEarlierDocument) {
  struct Case {
    const char* what;
    long long loadDelayMs;
    std::size_t values;
  } cases[] = {
      {"pages take longer than the speed", 20000, 6},
      {"pages never come", -1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WallRun late(Engine::Sogou);
    // Shown before the run: a page full of values that must not be taken.
    late.h.browser.ShowPage("http://engine.test/old", "13911111111 13922222222\n下一页\n");
    late.h.browser.loadDelayMs = c.loadDelayMs;
    late.h.Start();
    ASSERT_TRUE(late.h.RunToEnd());
    EXPECT_EQ(late.Values().size(), c.values);
    for (const std::string& value : late.Values()) EXPECT_EQ(value.substr(0, 7), "1380000");
    // A page that never comes is asked for again, then its keyword is given
    // up, and the resume line stays in front of it.
    EXPECT_EQ(late.h.browser.Requests().size(), c.values == 0 ? 2u * SearchRun::kPageTries : 6u);
    if (c.values == 0) {
      EXPECT_EQ(late.h.run->Summary().failedLines, (std::vector<std::int32_t>{1, 2}));
      EXPECT_EQ(late.h.run->ResumeLine(), 1);
    }
  }
}

TEST(RunWalls, NetworkCheck) {
  const NetworkInterface lo{true, true, true}, ethUp{true, false, true},
      ethDown{false, false, true}, ethBare{true, false, false};
  struct Case {
    const char* address;
    std::vector<NetworkInterface> interfaces;
    bool refused;
  } cases[] = {
      {"10.1.2.3", {}, false},           {"", {}, false},
      {"127.0.0.1", {lo}, true},         {"127.0.1.1", {lo, ethDown, ethBare}, true},
      {"127.0.0.1", {lo, ethUp}, false}, {"127.5.5.5", {ethUp}, false},
      {"128.0.0.1", {}, false},
  };
  for (const auto& c : cases) {
    RunHarness h;
    h.localAddress = c.address;
    h.interfaces = c.interfaces;
    h.window.keywords = {"a"};
    h.window.inputAnswers = {std::nullopt};
    h.Start();
    EXPECT_EQ(!h.window.shown.empty() && h.window.shown[0].text == "您还没有连接到网上！",
              c.refused)
        << c.address << " " << c.interfaces.size();
  }
}

TEST(RunWalls, RestBetweenKeywords) {
  struct Case {
    int most, pick;
    long long gapMs;  // from the last page of keyword 1 to the first of keyword 2
  } cases[] = {{0, 0, 8000}, {30, 20, 28000}, {30, 0, 8000}, {5, 99, 13000}};
  for (const auto& c : cases) {
    RunHarness h;
    h.window.cooldownSeconds = c.most;
    h.cooldownPick = c.pick;
    h.window.pageLimitText = "1";
    h.window.keywords = {"a", "b"};
    h.browser.ServeAnyAddress("13800000000\n");
    h.Start();
    ASSERT_TRUE(h.RunToEnd());
    ASSERT_EQ(h.browser.RequestTimes().size(), 2u);
    EXPECT_EQ(h.browser.RequestTimes()[1] - h.browser.RequestTimes()[0], c.gapMs) << c.most;
  }
  // 终止 during the rest ends the run without waiting for it.
  RunHarness h;
  h.window.cooldownSeconds = 600;
  h.cooldownPick = 600;
  h.window.pageLimitText = "1";
  h.window.keywords = {"a", "b"};
  h.browser.ServeAnyAddress("13800000000\n");
  h.Start();
  h.clock.AdvanceBy(9000);
  h.run->Stop();
  EXPECT_TRUE(h.window.Panel(StatusPanel::Message).starts_with("搜索已经结束！"));
  h.clock.AdvanceBy(700 * 1000);
  EXPECT_EQ(h.browser.Requests().size(), 1u);
}

TEST(RunWalls, TheFirstBaiduRequestWaitsForTheCleaner) {
  RunHarness h;
  h.window.holdCleaner = true;
  h.window.engine = Engine::Baidu;
  h.window.keywords = {"a"};
  h.browser.ServeAnyAddress("13800000000\n");
  h.Start();
  h.clock.AdvanceBy(5000);
  EXPECT_EQ(h.window.cacheClears, 1);
  EXPECT_TRUE(h.browser.Requests().empty());
  h.window.heldCleanerDone();
  EXPECT_EQ(h.browser.Requests().size(), 1u);

  // A cleaner that finishes after its run was stopped and a new one started
  // does not request anything in the new run.
  h.run->Stop();
  h.clock.AdvanceBy(20000);
  h.window.inputAnswers = {"1"};
  h.Start();
  h.clock.AdvanceBy(1000);
  auto stale = h.window.heldCleanerDone;
  h.run->Stop();
  h.window.inputAnswers = {"1"};
  h.Start();
  h.clock.AdvanceBy(1000);
  const std::size_t requests = h.browser.Requests().size();
  stale();
  EXPECT_EQ(h.browser.Requests().size(), requests);
}

TEST(RunWalls, VerificationMarkers) {
  const EngineRow& baidu = DefaultEngineTable()[0];
  const EngineRow& sogou = DefaultEngineTable()[1];
  const EngineRow& bing = DefaultEngineTable()[3];
  struct Case {
    const EngineRow& row;
    const char* address;
    std::vector<std::string> lines;  // UTF-8
    bool next;
    bool wall;
    const char* title = "";
    bool markup = false;
    int results = -1;
  } cases[] = {
      {baidu, "https://wappass.baidu.com/static/captcha/tuxing.html?x", {}, false, true},
      {baidu, "https://WAPPASS.baidu.com/static/CAPTCHA/", {"下一页>"}, true, true},
      {baidu, "https://www.baidu.com/s?wd=a", {"  百度安全验证", "请完成验证"}, false, true},
      // A results page that only mentions the marker still has its pager.
      {baidu, "https://www.baidu.com/s?wd=a", {"百度安全验证 - 百度知道"}, true, false},
      {baidu, "https://www.baidu.com/s?wd=a", {"关于百度安全验证的问题"}, false, false},
      // The interstitial says so only in its title; its body blames the network.
      {baidu,
       "https://www.baidu.com/s?wd=a",
       {"网络不给力，请稍后重试"},
       false,
       true,
       " 百度安全验证 "},
      {baidu, "https://www.baidu.com/s?wd=a", {}, false, false, "百度安全验证_百度搜索"},
      // On a keyword's last page a result may begin with the marker.
      {baidu, "https://www.baidu.com/s?wd=a", {"百度安全验证"}, false, false, "", false, 3},
      {baidu, "https://www.baidu.com/s?wd=a", {}, false, false, "百度安全验证", true, 1},
      {sogou, "https://www.sogou.com/web?query=a", {"搜狗搜索"}, false, true, "搜狗搜索"},
      {sogou, "https://www.sogou.com/web?query=a", {}, false, true, "", true},
      {sogou, "https://www.sogou.com/web?query=a", {}, false, false, "a - 搜狗搜索", false, 0},
      {bing, "http://cn.bing.com/turing/captcha/challenge", {}, false, true},
      {bing, "http://cn.bing.com/search?q=a", {"One last step"}, false, true},
      {bing, "http://cn.bing.com/search?q=a", {"one last step"}, false, false},
      {bing, "http://cn.bing.com/search?q=a", {}, false, true, "a - Search", true, 0},
  };
  for (const auto& c : cases) {
    std::vector<std::string> gbk;
    for (const auto& line : c.lines) gbk.push_back(Utf8ToGbk(line));
    const std::vector<std::string_view> views(gbk.begin(), gbk.end());
    PageDocument document;
    document.address = c.address;
    document.title = c.title;
    document.verifyMarkup = c.markup;
    document.resultBlocks = c.results;
    EXPECT_EQ(IsVerificationPage(c.row, document, views, c.next), c.wall)
        << c.address << " " << c.title;
  }
  EXPECT_EQ(AddressHost("https://user@www.baidu.com:443/s?wd=a"), "www.baidu.com");
  EXPECT_EQ(AddressHost("http://[::1]:8080/x"), "[::1]");
  EXPECT_TRUE(IsEngineAddress(baidu, "http://WWW.baidu.com/"));
  EXPECT_FALSE(IsEngineAddress(baidu, "https://wappass.baidu.com/"));
}

}  // namespace
}  // namespace brivano::testing
