// What a run did, as its end message tells it: so that a run that skipped
// keywords or met walls never looks like one that did everything.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace brivano {

struct RunSummary {
  int keywordsDone = 0;                   // every page read
  std::vector<std::int32_t> failedLines;  // keywords given up, by line
  int pagesRead = 0;
  int wallsMet = 0;  // verification pages met
  int valuesKept = 0;

  bool EveryKeywordDone() const { return failedLines.empty(); }
};

// "关键词完成 3 个，失败 1 个（第 2 行）；读取 12 页，验证页面 0 次，保留 57 条" (UTF-8).
std::string RunSummaryText(const RunSummary& summary);

}  // namespace brivano
