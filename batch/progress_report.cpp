#include "batch/progress_report.h"

#include <algorithm>
#include <cstdio>

namespace brivano {
namespace {

constexpr int kBarWidth = 24;

double DoneShare(const RunProgress& p) {
  if (p.keywordsTotal <= 0) return 0;
  // A keyword in progress counts by its pages, as if it had them all.
  const double pageShare =
      p.keywordDone ? 0 : std::min(1.0, static_cast<double>(p.page) / std::max(1, p.pageLimit));
  return std::min(1.0, (p.keywordsDone + pageShare) / p.keywordsTotal);
}

std::string Remaining(const RunProgress& p) {
  const long long ms = RemainingMs(p);
  return ms < 0 ? "--:--" : ClockText(ms);
}

}  // namespace

std::string ClockText(long long ms) {
  const long long seconds = std::max(0LL, ms) / 1000;
  char text[32];
  if (seconds >= 3600) {
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
  } else {
    std::snprintf(text, sizeof text, "%02lld:%02lld", seconds / 60, seconds % 60);
  }
  return text;
}

long long RemainingMs(const RunProgress& p) {
  const double share = DoneShare(p);
  if (share <= 0) return -1;
  return static_cast<long long>(static_cast<double>(p.elapsedMs) * (1 - share) / share);
}

namespace {

std::string SitesPart(const RunProgress& p) {
  return p.sites ? SitesProgressText(*p.sites) + "  " : std::string();
}

}  // namespace

std::string ProgressLine(const RunProgress& p) {
  return "关键词 " + std::to_string(p.keywordsDone) + "/" + std::to_string(p.keywordsTotal) +
         "  第" + std::to_string(p.keywordLine) + "行「" + p.keyword + "」第" +
         std::to_string(p.page) + "页 +" + std::to_string(p.pageValues) + "  共 " +
         std::to_string(p.found) + " 条  " + SitesPart(p) + "用时 " + ClockText(p.elapsedMs) +
         "  剩余 " + Remaining(p);
}

std::string ProgressBar(const RunProgress& p) {
  const int filled = static_cast<int>(DoneShare(p) * kBarWidth);
  return "[" + std::string(static_cast<std::size_t>(filled), '#') +
         std::string(static_cast<std::size_t>(kBarWidth - filled), '-') + "] " +
         std::to_string(p.keywordsDone) + "/" + std::to_string(p.keywordsTotal) + " 关键词  第" +
         std::to_string(p.page) + "页  " + std::to_string(p.found) + " 条  " + SitesPart(p) +
         ClockText(p.elapsedMs) + " 剩余 " + Remaining(p);
}

void ProgressPrinter::Message(std::string_view utf8Line) {
  // A message goes above the bar, which is drawn again below it.
  std::string text = bar_.empty() ? "" : "\r\033[K";
  text.append(utf8Line).append("\n");
  if (!bar_.empty()) text.append(bar_);
  write_(text);
}

void ProgressPrinter::Progress(const RunProgress& progress) {
  if (!terminal_) {
    write_(ProgressLine(progress) + "\n");
    return;
  }
  bar_ = ProgressBar(progress);
  write_("\r\033[K" + bar_);
}

void ProgressPrinter::Finish() {
  if (bar_.empty()) return;
  bar_.clear();
  write_("\n");
}

}  // namespace brivano
