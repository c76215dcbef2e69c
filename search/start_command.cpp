#include "search/start_command.h"

#include <algorithm>

#include "base/integer_text.h"
#include "base/text.h"
#include "search/run_messages.h"

namespace brivano {

RefusalText TextOfRefusal(StartRefusal refusal) {
  switch (refusal) {
    case StartRefusal::NotConnected:
      return {Gbk(run_messages::kNotConnected), false};
    case StartRefusal::NoKeywords:
      break;
  }
  return {Gbk(run_messages::kNoKeywords), true};
}

StartLineChoice ChooseStartLine(std::int32_t asked, int keywordLines) {
  const std::int32_t line = std::max<std::int32_t>(asked, 1);
  if (line != 1 && line > keywordLines) return {1, true};
  return {line, false};
}

bool StartFromWindow(SearchRun& run, const RunOptions& options, StartDialogs& dialogs) {
  if (const std::optional<StartRefusal> refusal = run.CheckStart()) {
    const RefusalText said = TextOfRefusal(*refusal);
    if (said.error) {
      dialogs.ShowError(said.text);
    } else {
      dialogs.ShowInformation(said.text);
    }
    return false;
  }
  // A list that was done to its end is offered from its first line again;
  // the question says how long the list is.
  const int lines = run.KeywordLineCount();
  if (run.StartLine() == 0 || run.StartLine() > lines) run.SetStartLine(1);
  const std::optional<std::string> answer = dialogs.InputQuery(
      Gbk(run_messages::kStartLineCaption),
      Gbk(std::string(run_messages::kStartLinePrompt) + "（共 " + std::to_string(lines) + " 行）"),
      std::to_string(run.StartLine()));
  if (!answer) return false;
  const std::optional<std::int32_t> asked = ParseIntegerText(*answer);
  if (!asked) {
    dialogs.ShowError(NotAnIntegerMessage(*answer));
    return false;
  }
  const StartLineChoice choice = ChooseStartLine(*asked, lines);
  if (choice.pastTheEnd) dialogs.ShowMessage(Gbk(run_messages::kStartLineTooLarge));
  return run.Start(options, choice.line);
}

}  // namespace brivano
