// The file tools: the merge of five result files of 200,000 lines each
// (about 19 MB of GBK, half the lines repeated), the generator's 1,000
// cities by 1,000 trades, and writing a result file of a million items.
#include <benchmark/benchmark.h>

#include "base/buyer_list.h"
#include "base/text.h"
#include "files/keyword_generator.h"
#include "files/merge.h"
#include "files/result_files.h"
#include "testing/cli_runner.h"
#include "testing/merge_lines.h"

namespace brivano::bench {
namespace {

struct MergeInputs {
  testing::TempDir dir;
  std::vector<std::filesystem::path> files;
  std::size_t bytes = 0;
  MergeInputs() {
    const std::vector<std::string> contents = ResultFiles(5, 200000, 1);
    for (std::size_t i = 0; i < contents.size(); ++i) {
      files.push_back(dir.Write("part" + std::to_string(i + 1) + ".txt", contents[i]));
      bytes += contents[i].size();
    }
  }
};

void BM_MergeFiveResultFiles(benchmark::State& state) {
  static MergeInputs inputs;
  const auto output = inputs.dir.path() / "merged.txt";
  for (auto _ : state) {
    const MergeOutcome outcome = MergeFiles(inputs.files, output);
    if (!outcome.ok()) state.SkipWithError(outcome.error.c_str());
    benchmark::DoNotOptimize(outcome.distinctLines);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * inputs.bytes));
}
BENCHMARK(BM_MergeFiveResultFiles)->Unit(benchmark::kMillisecond)->MinTime(3);

void BM_GenerateKeywords1000x1000(benchmark::State& state) {
  std::string cities, trades;
  for (int i = 0; i < 1000; ++i) {
    cities += Utf8ToGbk("城市") + std::to_string(i) + "\r\n";
    trades += Utf8ToGbk("行业") + std::to_string(i) + "\r\n";
  }
  for (auto _ : state) {
    const std::string list = GenerateKeywordList(cities, trades);
    benchmark::DoNotOptimize(list.data());
  }
}
BENCHMARK(BM_GenerateKeywords1000x1000)->Unit(benchmark::kMillisecond);

void BM_WriteResultFileOfAMillionItems(benchmark::State& state) {
  testing::TempDir dir;
  BuyerList buyers;
  for (long long i = 0; i < 1000000; ++i) {
    buyers.Append(std::to_string(13000000000ll + i * 7919 % 1000000000), ContactKind::Mobile);
  }
  const auto path = dir.path() / "autosave.txt";
  for (auto _ : state) {
    const FileResult result = WriteResultFile(path, buyers);
    if (!result.ok()) state.SkipWithError("write failed");
  }
}
BENCHMARK(BM_WriteResultFileOfAMillionItems)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace brivano::bench
