// The 搜索 command as a window gives it: what keeps the run from starting
// is shown first, then the start line is asked for, then the run starts.
// brivano-run has its start line already and starts the run itself.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "search/search_run.h"

namespace brivano {

// The boxes the command may show. Every text is GBK.
class StartDialogs {
 public:
  virtual ~StartDialogs() = default;
  // A one-line input box; std::nullopt when the user cancels.
  virtual std::optional<std::string> InputQuery(const std::string& caption,
                                                const std::string& prompt,
                                                const std::string& value) = 0;
  virtual void ShowInformation(const std::string& text) = 0;  // caption "信息"
  virtual void ShowError(const std::string& text) = 0;        // the standard error box
  virtual void ShowMessage(const std::string& text) = 0;      // plain message box
};

// The user's text for a refusal (GBK), and whether it is an error rather
// than a piece of information.
struct RefusalText {
  std::string text;
  bool error;
};
RefusalText TextOfRefusal(StartRefusal refusal);

// The line a run starts at when `asked` is asked for: at least 1; a line
// past the end of the list starts at the first, which `pastTheEnd` says.
struct StartLineChoice {
  std::int32_t line;
  bool pastTheEnd;
};
StartLineChoice ChooseStartLine(std::int32_t asked, int keywordLines);

// Returns whether the run started.
bool StartFromWindow(SearchRun& run, const RunOptions& options, StartDialogs& dialogs);

}  // namespace brivano
