// The harvest store: the page step (30 values in one WAL transaction), a
// million items inserted with provenance, exports of a million items, and
// the cross-run check against five million items, by index lookup and, for
// comparison, by a hash set loaded at the start of a run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <random>
#include <unordered_set>

#include "bench/store_pages.h"
#include "store/exports.h"
#include "store/harvest_store.h"
#include "testing/cli_runner.h"

namespace brivano::bench {
namespace {

using Clock = std::chrono::steady_clock;

std::unique_ptr<HarvestStore> Open(const std::filesystem::path& path) {
  StoreOpenResult opened = HarvestStore::Open(path);
  if (!opened.store) std::fprintf(stderr, "%s\n", opened.error.c_str());
  return std::move(opened.store);
}

std::uint64_t StoreBytes(const std::filesystem::path& db) {
  std::uint64_t bytes = 0;
  for (const char* suffix : {"", "-wal", "-shm"}) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(db.string() + suffix, ec);
    if (!ec) bytes += size;
  }
  return bytes;
}

struct FilledStore {
  testing::TempDir dir;
  std::filesystem::path path;
  explicit FilledStore(std::uint64_t items) : path(dir.path() / "brivano.db") {
    auto store = Open(path);
    Fill(*store, items);
  }
};

FilledStore& MillionStore() {
  static FilledStore store(1000000);
  return store;
}

FilledStore& FiveMillionStore() {
  static FilledStore store(5000000);
  return store;
}

// The thread's processor time: a step that took long on the wall clock but
// not here waited for the processor or the disk, not for its own work.
double ThreadCpuMs() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Median, 99th percentile and maximum of the page steps in milliseconds, on
// the wall clock and in processor time, and the share of steps over 5 ms.
void ReportSteps(benchmark::State& state, std::vector<double>& ms, std::vector<double>& cpuMs) {
  if (ms.empty()) return;
  std::sort(ms.begin(), ms.end());
  std::sort(cpuMs.begin(), cpuMs.end());
  state.counters["median_ms"] = ms[ms.size() / 2];
  state.counters["p99_ms"] = ms[ms.size() * 99 / 100];
  state.counters["max_ms"] = ms.back();
  state.counters["cpu_max_ms"] = cpuMs.back();
  state.counters["over_5ms"] =
      static_cast<double>(ms.end() - std::upper_bound(ms.begin(), ms.end(), 5.0));
}

// Times the page steps of one run, 30 values a page counted on from
// `next`, each with the cross-run check first when asked, then the run's end,
// which adds its values to the store's contacts at once.
void TimePageSteps(benchmark::State& state, HarvestStore& store, std::int64_t run,
                   std::uint64_t next, bool crossRunCheck) {
  std::vector<double> ms;
  std::vector<double> cpuMs;
  for (auto _ : state) {
    HarvestedPage page = PageOf(next, static_cast<std::int32_t>(next / 30), 30);
    next += 30;
    const auto start = Clock::now();
    const double cpuStart = ThreadCpuMs();
    if (crossRunCheck) {
      std::erase_if(page.values, [&](const ContactValue& value) {
        return store.HarvestedBefore(value.value, run);
      });
    }
    store.AddPage(run, page);
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    cpuMs.push_back(ThreadCpuMs() - cpuStart);
  }
  const auto endStart = Clock::now();
  store.EndRun(run, RunEnding::Finished);
  state.counters["end_run_ms"] =
      std::chrono::duration<double, std::milli>(Clock::now() - endStart).count();
  state.counters["run_values"] = static_cast<double>(state.iterations()) * 30;
  ReportSteps(state, ms, cpuMs);
}

// One page step with the store: 30 values committed in one transaction, on a
// store of a million items. Argument 1 syncs every commit (synchronous=FULL).
void BM_PageStep(benchmark::State& state) {
  auto store = Open(MillionStore().path);
  if (state.range(0) == 1) store->connection().Execute("PRAGMA synchronous = FULL");
  const std::int64_t run = store->BeginRun({"baidu", ContactKind::Mobile, ""});
  TimePageSteps(state, *store, run,
                100000000 + static_cast<std::uint64_t>(state.range(0)) * 10000000, false);
}
BENCHMARK(BM_PageStep)->Arg(0)->Arg(1)->Iterations(2000)->Unit(benchmark::kMicrosecond);

// A million items inserted with provenance into a new store, 30 a page;
// the argument is the number of pages a transaction commits (1 as a run
// does).
void BM_InsertMillion(benchmark::State& state) {
  const auto pagesPerCommit = static_cast<std::size_t>(state.range(0));
  for (auto _ : state) {
    testing::TempDir dir;
    const auto path = dir.path() / "brivano.db";
    auto store = Open(path);
    const std::int64_t run = store->BeginRun({"baidu", ContactKind::Mobile, ""});
    std::vector<HarvestedPage> pages;
    for (std::uint64_t done = 0; done < 1000000; done += 30) {
      pages.push_back(PageOf(done, static_cast<std::int32_t>(done / 30),
                             static_cast<int>(std::min<std::uint64_t>(30, 1000000 - done))));
      if (pages.size() == pagesPerCommit) {
        store->AddPages(run, pages);
        pages.clear();
      }
    }
    store->AddPages(run, pages);
    store->EndRun(run, RunEnding::Finished);
    store.reset();  // the close checkpoints the WAL into the database
    state.counters["bytes_per_item"] = static_cast<double>(StoreBytes(path)) / 1e6;
  }
}
BENCHMARK(BM_InsertMillion)->Arg(1)->Arg(1000)->Iterations(1)->Unit(benchmark::kMillisecond);

// Exports of a million items from the store.
void BM_ExportMillion(benchmark::State& state) {
  const auto format = static_cast<ExportFormat>(state.range(0));
  auto store = Open(MillionStore().path);
  testing::TempDir dir;
  for (auto _ : state) {
    const ExportOutcome outcome =
        WriteExport(format, dir.path() / "export.out", StoreExportSource(*store, {}));
    if (!outcome.ok()) state.SkipWithError(outcome.error.c_str());
    state.counters["rows"] = static_cast<double>(outcome.rows);
  }
}
BENCHMARK(BM_ExportMillion)
    ->Arg(static_cast<int>(ExportFormat::Csv))
    ->Arg(static_cast<int>(ExportFormat::Xlsx))
    ->Arg(static_cast<int>(ExportFormat::Txt))
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// Start of a run with the cross-run check on a store of five million items:
// opening the store is all the index needs.
void BM_CrossRunStart(benchmark::State& state) {
  const auto& path = FiveMillionStore().path;
  for (auto _ : state) {
    auto store = Open(path);
    benchmark::DoNotOptimize(store->HarvestedBefore(MobileNumber(12345), 0));
  }
}
BENCHMARK(BM_CrossRunStart)->Unit(benchmark::kMillisecond);

// One cross-run check against five million items; half the values are in
// the store.
void BM_CrossRunCheck(benchmark::State& state) {
  auto store = Open(FiveMillionStore().path);
  std::mt19937_64 random(5);
  std::vector<std::string> values;
  for (int i = 0; i < 100000; ++i) {
    values.push_back(MobileNumber(random() % 10000000));  // half below 5,000,000
  }
  std::size_t at = 0;
  std::size_t hits = 0;
  for (auto _ : state) {
    hits += store->HarvestedBefore(values[at], 0) ? 1 : 0;
    at = (at + 1) % values.size();
  }
  state.counters["hit_share"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_CrossRunCheck)->Unit(benchmark::kMicrosecond);

// The page step of a run with the cross-run check on a five-million-item
// store: 30 checks, then the page's new values committed; and the run's end.
void BM_PageStepWithCrossRunCheck(benchmark::State& state) {
  auto store = Open(FiveMillionStore().path);
  const std::int64_t run = store->BeginRun({"baidu", ContactKind::Mobile, "跨次去重=1"});
  // Some values of the store, then new ones.
  TimePageSteps(state, *store, run, 4999000, true);
}
BENCHMARK(BM_PageStepWithCrossRunCheck)->Iterations(2000)->Unit(benchmark::kMicrosecond);

// For comparison: the start-of-run cost of a hash set of all five million
// values, the alternative to the index.
void BM_CrossRunHashSetLoad(benchmark::State& state) {
  auto store = Open(FiveMillionStore().path);
  for (auto _ : state) {
    std::unordered_set<std::string> seen;
    seen.reserve(5000000);
    sql::Statement query = store->connection().Prepare("SELECT value FROM items");
    while (query.Step()) seen.emplace(query.ColumnBytes(0));
    state.counters["values"] = static_cast<double>(seen.size());
  }
}
BENCHMARK(BM_CrossRunHashSetLoad)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace brivano::bench
