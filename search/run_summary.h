// What a run did, as its end message tells it: so that a run that skipped
// keywords or met walls never looks like one that did everything.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace brivano {

// How far the visits of the result sites are ("网站 12/30").
struct SiteProgress {
  int sitesDone = 0;        // visited, or given up
  int sitesRefused = 0;     // every address on this machine or its network: never asked
  int sitesTotal = 0;       // queued in this run
  int sitesSkipped = 0;     // visited by an earlier run within the days set
  int pagesRead = 0;        // site pages read
  int pagesFailed = 0;      // not fetched, no page, or an error status
  int pagesDisallowed = 0;  // left out by the site's robots.txt

  int SitesHandled() const { return sitesDone + sitesRefused; }
};

struct RunSummary {
  int keywordsDone = 0;                   // every page read
  std::vector<std::int32_t> failedLines;  // keywords given up, by line
  int pagesRead = 0;
  int wallsMet = 0;  // verification pages met
  int valuesKept = 0;
  bool visitedSites = false;  // 访问网站 was on
  SiteProgress sites{};

  bool EveryKeywordDone() const { return failedLines.empty(); }
};

// "网站 12/30" (UTF-8).
std::string SitesProgressText(const SiteProgress& progress);

// "关键词完成 3 个，失败 1 个（第 2 行）；读取 12 页，验证页面 0 次，保留 57 条" (UTF-8).
std::string RunSummaryText(const RunSummary& summary);

}  // namespace brivano
