// Pages of distinct mobile-like numbers with provenance, for the store's
// benchmarks and brivano-storegen.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "base/text.h"
#include "store/harvest_store.h"

namespace brivano::bench {

// Distinct mobile-like numbers: a bijection of the counter keeps them apart
// and scatters them over the index as real numbers are.
inline std::string MobileNumber(std::uint64_t n) {
  const std::uint64_t scattered = (n * 2654435761u) % 10000000000u;
  std::string digits = std::to_string(scattered);
  return "1" + std::string(10 - digits.size(), '0') + digits;
}

inline HarvestedPage PageOf(std::uint64_t firstValue, std::int32_t page, int values) {
  static const std::string keyword = Utf8ToGbk("深圳 钢材 批发");
  HarvestedPage record;
  record.source = std::make_shared<const PageSource>(
      PageSource{1 + page / 10, keyword, "baidu", 1 + page % 10,
                 "https://www.baidu.com/s?wd=%C9%EE%DB%DA&pn=" + std::to_string(page % 10 * 10),
                 "2026-12-07T13:17:48Z", 0});
  for (int i = 0; i < values; ++i) {
    record.values.push_back({MobileNumber(firstValue + static_cast<std::uint64_t>(i)),
                             ContactKind::Mobile, record.source});
  }
  return record;
}

// Fills a store with `items` values, 30 a page, in one run; a thousand
// pages a transaction, so that the five-million-item store is quick to make.
inline std::int64_t Fill(HarvestStore& store, std::uint64_t items) {
  const std::int64_t run = store.BeginRun({"baidu", ContactKind::Mobile, ""});
  std::vector<HarvestedPage> pages;
  for (std::uint64_t done = 0; done < items; done += 30) {
    pages.push_back(PageOf(done, static_cast<std::int32_t>(done / 30),
                           static_cast<int>(std::min<std::uint64_t>(30, items - done))));
    if (pages.size() == 1000) {
      store.AddPages(run, pages);
      pages.clear();
    }
  }
  store.AddPages(run, pages);
  store.EndRun(run, RunEnding::Finished);
  return run;
}

}  // namespace brivano::bench
