// The run's hot paths: one page step over a megabyte of page text, the buyer
// list's duplicate check at a million items, and the conversions.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>

#include "base/buyer_list.h"
#include "base/text.h"
#include "extract/mobile_extractor.h"
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

// ProcessPage: read the body text, convert it to GBK, split it into lines,
// extract mobile numbers, look for the next-page link, request the next page.
void BM_ProcessPage1MB(benchmark::State& state) {
  testing::RunHarness h;
  h.window.keywords = {"深圳 旅行社"};
  h.window.pageLimitText = "2147483647";
  h.browser.ServeAnyAddress(Utf8Page());
  h.Start();
  for (auto _ : state) {
    h.run->ProcessPage();
    state.PauseTiming();
    h.run->Buyers().Clear();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Utf8Page().size()));
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

}  // namespace
}  // namespace brivano::bench
