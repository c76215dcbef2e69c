#include "batch/unattended_window.h"

#include "search/search_run.h"

namespace brivano {

void UnattendedWindow::Configure(std::vector<std::string> keywordLines, RunOptions options,
                                 std::string startLineAnswer) {
  lines_ = std::move(keywordLines);
  options_ = std::move(options);
  startLineAnswer_ = std::move(startLineAnswer);
}

std::string UnattendedWindow::KeywordLine(int index0) const {
  if (index0 < 0 || index0 >= KeywordLineCount()) return {};
  return lines_[static_cast<std::size_t>(index0)];
}

std::int32_t SettingsCopy::StartLine() const {
  return run_ != nullptr ? run_->ResumeLine() : loadedStartLine_;
}

}  // namespace brivano
