#include "search/run_summary.h"

#include <cstddef>

namespace brivano {
namespace {

// A long list of failed lines names the first ones and counts the rest.
constexpr std::size_t kLinesNamed = 20;

std::string FailedLinesText(const std::vector<std::int32_t>& lines) {
  std::string text = "（第 ";
  for (std::size_t i = 0; i < lines.size() && i < kLinesNamed; ++i) {
    if (i > 0) text += "、";
    text += std::to_string(lines[i]);
  }
  text += " 行";
  if (lines.size() > kLinesNamed) text += "等";
  return text + "）";
}

// "；访问网站 28/30 个，读取网页 90 页，失败 3 页，robots.txt 不许 2 页，近期访问过 5 个，
// 本机或内网地址 2 个未访问": a site whose every address was refused is no visited one.
std::string SitesText(const SiteProgress& sites) {
  std::string text = "；访问网站 " + std::to_string(sites.sitesDone) + "/" +
                     std::to_string(sites.sitesTotal) + " 个，读取网页 " +
                     std::to_string(sites.pagesRead) + " 页";
  if (sites.pagesFailed > 0) text += "，失败 " + std::to_string(sites.pagesFailed) + " 页";
  if (sites.pagesDisallowed > 0) {
    text += "，robots.txt 不许 " + std::to_string(sites.pagesDisallowed) + " 页";
  }
  if (sites.sitesSkipped > 0) text += "，近期访问过 " + std::to_string(sites.sitesSkipped) + " 个";
  if (sites.sitesRefused > 0) {
    text += "，本机或内网地址 " + std::to_string(sites.sitesRefused) + " 个未访问";
  }
  return text;
}

}  // namespace

std::string SitesProgressText(const SiteProgress& progress) {
  return "网站 " + std::to_string(progress.SitesHandled()) + "/" +
         std::to_string(progress.sitesTotal);
}

std::string RunSummaryText(const RunSummary& summary) {
  std::string text = "关键词完成 " + std::to_string(summary.keywordsDone) + " 个，失败 " +
                     std::to_string(summary.failedLines.size()) + " 个";
  if (!summary.failedLines.empty()) text += FailedLinesText(summary.failedLines);
  return text + "；读取 " + std::to_string(summary.pagesRead) + " 页，验证页面 " +
         std::to_string(summary.wallsMet) + " 次，保留 " + std::to_string(summary.valuesKept) +
         " 条" + (summary.visitedSites ? SitesText(summary.sites) : std::string());
}

}  // namespace brivano
