// brivano-run's progress on standard error: a bar redrawn in place on a
// terminal, one plain line a page for a log file.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "search/run_summary.h"

namespace brivano {

struct RunProgress {
  int keywordsTotal = 0;     // the keyword lines of this run, from its start line on
  int keywordsDone = 0;      // those whose every page is done
  bool keywordDone = false;  // the page's keyword among them
  std::int32_t keywordLine = 0;
  std::string keyword;  // UTF-8
  int page = 0;         // the page just harvested, 1-based
  int pageLimit = 1;
  std::size_t pageValues = 0;  // what that page added
  std::int64_t found = 0;      // what the run has found so far
  long long elapsedMs = 0;
  // 访问网站: how far the site visits are ("网站 12/30"); none when off.
  std::optional<SiteProgress> sites;
};

// "1:02:03" or "02:03".
std::string ClockText(long long ms);
// The time still to go, judged from the share of the keywords done so far;
// negative when nothing is done yet.
long long RemainingMs(const RunProgress& progress);
// One line for a log: the time of day is the log's business.
std::string ProgressLine(const RunProgress& progress);
// The bar and its figures, without line break.
std::string ProgressBar(const RunProgress& progress);

// Writes messages and progress to standard error (or wherever `write`
// goes), keeping a bar on the last line of a terminal.
class ProgressPrinter {
 public:
  ProgressPrinter(std::function<void(std::string_view)> write, bool terminal)
      : write_(std::move(write)), terminal_(terminal) {}
  void Message(std::string_view utf8Line);
  void Progress(const RunProgress& progress);
  // Ends the bar's line, so that what follows starts on a line of its own.
  void Finish();

 private:
  std::function<void(std::string_view)> write_;
  bool terminal_;
  std::string bar_;  // the bar on screen, empty when none
};

}  // namespace brivano
