// The run's hot paths: one page step over a megabyte of page text, the buyer
// list's duplicate check at a million items, and the conversions.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

#include "base/buyer_list.h"
#include "base/text.h"
#include "extract/mobile_extractor.h"
#include "search/result_blocks.h"
#include "testing/page_text.h"
#include "testing/run_harness.h"

namespace brivano::bench {
namespace {

const std::string& GbkPage() {
  static const std::string page = PageText(1 << 20);
  return page;
}

const std::string& Utf8Page() {
  static const std::string page = GbkToUtf8(GbkPage());
  return page;
}

// Times the page step of a started run, the list emptied between steps.
void TimePageSteps(benchmark::State& state, testing::RunHarness& h) {
  for (auto _ : state) {
    h.run->ProcessPage();
    state.PauseTiming();
    h.run->Buyers().Clear();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Utf8Page().size()));
}

// ProcessPage: read the body text, convert it to GBK, split it into lines,
// extract mobile numbers, look for the next-page link, request the next page.
void BM_ProcessPage1MB(benchmark::State& state) {
  testing::RunHarness h;
  h.window.keywords = {"深圳 旅行社"};
  h.window.pageLimitText = "2147483647";
  h.browser.ServeAnyAddress(Utf8Page());
  h.Start();
  TimePageSteps(state, h);
}
BENCHMARK(BM_ProcessPage1MB)->Unit(benchmark::kMillisecond);

// AddBuyerItem with 去重 ticked: a million additions, half of them values
// already listed.
void BM_AddBuyerItemMillionHalfDuplicates(benchmark::State& state) {
  testing::RunHarness h;
  h.window.dedup = true;
  h.OptionsChanged();
  std::vector<std::string> values;
  for (int i = 0; i < 500000; ++i) {
    const std::string number = std::to_string(13800000000LL + i * 7919LL % 100000000LL);
    values.push_back(number);
    values.push_back(number);
  }
  std::shuffle(values.begin(), values.end(), std::mt19937(3));
  for (auto _ : state) {
    state.PauseTiming();
    h.run->Buyers().Clear();
    state.ResumeTiming();
    for (const std::string& value : values) h.run->AddBuyerItem(value, ContactKind::Mobile);
  }
  if (h.run->Buyers().size() != 500000) state.SkipWithError("wrong number of distinct items");
}
BENCHMARK(BM_AddBuyerItemMillionHalfDuplicates)->Unit(benchmark::kMillisecond);

void BM_ExtractMobiles1MB(benchmark::State& state) {
  const std::vector<std::string> lines = SplitTextLines(GbkPage());
  struct CountingSink : BuyerSink {
    std::size_t count = 0;
    void AddBuyerItem(std::string_view, ContactKind) override { ++count; }
  } sink;
  for (auto _ : state) ExtractMobiles(lines, sink);
  benchmark::DoNotOptimize(sink.count);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * GbkPage().size()));
}
BENCHMARK(BM_ExtractMobiles1MB)->Unit(benchmark::kMillisecond);

void BM_Utf8ToGbk1MB(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(Utf8ToGbk(Utf8Page()));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Utf8Page().size()));
}
BENCHMARK(BM_Utf8ToGbk1MB)->Unit(benchmark::kMillisecond);

void BM_SplitTextLines1MB(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(SplitTextLines(GbkPage()));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * GbkPage().size()));
}
BENCHMARK(BM_SplitTextLines1MB)->Unit(benchmark::kMillisecond);

// A Baidu results page of about a megabyte, UTF-8 as the browser gives it:
// a head of styles and scripts, then result blocks with mu attributes,
// redirect title links, snippets with phone numbers, display addresses,
// tools menus and each block's script.
std::string BaiduLikePage(std::size_t bytes) {
  Random r(11);
  const auto chinese = [&](int words) { return GbkToUtf8(Chinese(r, words)); };
  std::string page =
      "<!DOCTYPE html><html><head><meta http-equiv=\"content-type\" content=\"text/html;"
      "charset=utf-8\"><title>深圳 旅行社_百度搜索</title><style>";
  for (int i = 0; i < 400; ++i) {
    page += ".c-gap-" + std::to_string(i) + "{margin-top:" + std::to_string(i) + "px}";
  }
  page +=
      "</style><script>var s = '<div class=\"result\"></div>'; bds.init();</script></head>"
      "<body><div id=\"wrapper\"><div id=\"content_left\">";
  for (int i = 1; page.size() < bytes; ++i) {
    const std::string n = std::to_string(i);
    const std::string site = "www.site" + n + ".com";
    const std::string link = "http://www.baidu.com/link?url=" + r.Digits(40);
    page += "<div class=\"result c-container \" id=\"" + n +
            "\" srcid=\"1599\" tpl=\"se_com_default\" mu=\"http://" + site +
            "/about/contact.html\" data-click=\"{&#39;rsv_bdr&#39;:&#39;0&#39;}\">"
            "<h3 class=\"t\"><a data-click=\"{'F':'778317EA','T':'1597803971'}\" href=\"" +
            link + "\" target=\"_blank\">" + chinese(4) + "<em>旅行社</em>" + chinese(3) +
            "</a></h3><div class=\"c-abstract\"><span class=\"m\">2020年8月4日&nbsp;-&nbsp;"
            "</span>" +
            chinese(30) + " 电话：0755-" + r.Digits(8) + " 手机：138" + r.Digits(8) + "，" +
            chinese(20) + "</div><div class=\"f13\"><a target=\"_blank\" href=\"" + link +
            "\" class=\"c-showurl\">" + site +
            "/about/...&nbsp;</a><div class=\"c-tools\" data-tools='{\"title\":\"x\",\"url\":\"" +
            link +
            "\"}'><a class=\"c-tip-icon\"><i class=\"c-icon c-icon-triangle-down-g\"></i></a>"
            "</div> - <a data-nolog href=\"http://cache.baiducontent.com/c?m=" +
            r.Digits(30) + "\" class=\"m\">百度快照</a></div><script>A.setup({id:" + n +
            ", tpl:\"</div>\"});</script></div>";
  }
  return page +
         "</div><div id=\"page\"><a class=\"n\" href=\"/s?wd=x&amp;pn=10\">下一页&gt;"
         "</a></div></div></body></html>";
}

void BM_ReadResultBlocks1MB(benchmark::State& state) {
  const std::string page = BaiduLikePage(1 << 20);
  const EngineRow& row = DefaultEngineTable()[static_cast<int>(Engine::Baidu)];
  std::size_t blocks = 0;
  for (auto _ : state) {
    const std::vector<ResultBlock> read = ReadResultBlocks(page, row);
    blocks = read.size();
    benchmark::DoNotOptimize(read.data());
  }
  if (blocks < 500) state.SkipWithError("too few blocks read");
  state.counters["blocks"] = static_cast<double>(blocks);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_ReadResultBlocks1MB)->Unit(benchmark::kMillisecond);

// The same page step as BM_ProcessPage1MB with a megabyte of Baidu-like
// markup beside the text: what reading the result blocks and finding each
// value's owner add to it.
void BM_ProcessPageWithBlocks1MB(benchmark::State& state) {
  testing::RunHarness h;
  h.window.keywords = {"深圳 旅行社"};
  h.window.engine = Engine::Baidu;
  h.window.pageLimitText = "2147483647";
  h.browser.ServeAnyAddress(Utf8Page(), {.resultBlocks = 1, .html = BaiduLikePage(1 << 20)});
  h.Start();
  h.clock.AdvanceBy(1000);  // Baidu's first request waits for the cache clearing
  TimePageSteps(state, h);
}
BENCHMARK(BM_ProcessPageWithBlocks1MB)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace brivano::bench
