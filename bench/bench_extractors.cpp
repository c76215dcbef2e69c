// The e-mail, QQ and fax extractors (and mobile, for comparison) over a
// megabyte of result-page lines, and over pages of hostile 4096-byte lines of
// growing size: time per byte must stay flat as the page grows.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "extract/extractors.h"
#include "testing/page_text.h"

namespace brivano::bench {
namespace {

struct CountingSink : BuyerSink {
  std::size_t count = 0;
  void AddBuyerItem(std::string_view, ContactKind) override { ++count; }
};

std::vector<std::string_view> Lines(const std::string& page) {
  std::vector<std::string_view> lines;
  ForEachTextLine(page, 4096, [&](std::string_view line) { lines.push_back(line); });
  return lines;
}

const std::string& ResultPage() {
  static const std::string page = PageText(1 << 20);
  return page;
}

// Lines of markers, separators, half characters and invalid bytes, each 4096
// bytes long, in turn until the page has `bytes` bytes.
std::string HostilePage(std::size_t bytes) {
  std::vector<std::string> pieces;
  for (const char* utf8 : {"@", "#", "QQ", "FAX:", "传真", "电话", "-", "(", ")", "+", "＃", "qq-",
                           "号码：", "a@", "Q-Q:1", "传真：("}) {
    pieces.push_back(Utf8ToGbk(utf8));
  }
  // A lone first byte, and characters whose second byte is "Q" or "@".
  for (const char* gbk : {"\x81", "\xB0Q", "\xB0@"}) pieces.push_back(gbk);
  std::vector<std::string> shapes;
  for (const std::string& piece : pieces) {
    std::string line;
    while (line.size() + piece.size() <= 4096) line += piece;
    shapes.push_back(line);
  }
  std::string page;
  for (std::size_t i = 0; page.size() < bytes; ++i) page += shapes[i % shapes.size()] + "\r\n";
  return page;
}

void RunExtractor(benchmark::State& state, ContactKind kind, const std::string& page) {
  const std::vector<std::string_view> lines = Lines(page);
  CountingSink sink;
  for (auto _ : state) ExtractPage(kind, lines, sink);
  benchmark::DoNotOptimize(sink.count);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
  state.counters["values/page"] =
      static_cast<double>(sink.count) / static_cast<double>(state.iterations());
}

void BM_ResultPage1MB(benchmark::State& state, ContactKind kind) {
  RunExtractor(state, kind, ResultPage());
}
BENCHMARK_CAPTURE(BM_ResultPage1MB, mobile, ContactKind::Mobile)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ResultPage1MB, email, ContactKind::Email)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ResultPage1MB, qq, ContactKind::QQ)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ResultPage1MB, fax, ContactKind::Fax)->Unit(benchmark::kMillisecond);

// Argument: page size in megabytes.
void BM_HostilePage(benchmark::State& state, ContactKind kind) {
  RunExtractor(state, kind, HostilePage(static_cast<std::size_t>(state.range(0)) << 20));
}
BENCHMARK_CAPTURE(BM_HostilePage, mobile, ContactKind::Mobile)
    ->Arg(1)
    ->Arg(4)
    ->Arg(16)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_HostilePage, email, ContactKind::Email)
    ->Arg(1)
    ->Arg(4)
    ->Arg(16)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_HostilePage, qq, ContactKind::QQ)
    ->Arg(1)
    ->Arg(4)
    ->Arg(16)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_HostilePage, fax, ContactKind::Fax)
    ->Arg(1)
    ->Arg(4)
    ->Arg(16)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace brivano::bench
