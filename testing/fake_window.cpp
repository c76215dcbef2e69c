#include "testing/fake_window.h"

#include "base/text.h"

namespace brivano::testing {

FakeWindow::FakeWindow()
    : RunStatusBar(
          [this](StatusPanel panel, const std::string& text) {
            panels.at(static_cast<std::size_t>(panel)) = GbkToUtf8(text);
          },
          [this](bool running) {
            stopEnabled = running;
            searchEnabled = !running;
            groupsEnabled = !running;
          }) {
  for (const auto& info : kContactKindTable) marks[static_cast<int>(info.kind)] = info.defaultMark;
}

int FakeWindow::KeywordLineCount() const {
  return static_cast<int>(keywords.size());
}

std::string FakeWindow::KeywordLine(int index0) const {
  return Utf8ToGbk(keywords.at(index0));
}

RunOptions FakeWindow::Options() const {
  RunOptions options{SpinTextValue(speedText, kSpeedRange),
                     SpinTextValue(pageLimitText, kPageLimitRange),
                     dedup,
                     autoSave,
                     kind,
                     engine,
                     {},
                     crossRunDedup,
                     validate,
                     visitSites};
  for (std::size_t i = 0; i < marks.size(); ++i) options.marks[i] = Utf8ToGbk(marks[i]);
  return options;
}

std::optional<std::string> FakeWindow::InputQuery(const std::string& caption,
                                                  const std::string& prompt,
                                                  const std::string& value) {
  prompts.push_back(GbkToUtf8(caption) + "|" + GbkToUtf8(prompt));
  offeredStartLines.push_back(value);
  if (inputAnswers.empty()) return value;
  std::optional<std::string> answer = inputAnswers.front();
  inputAnswers.pop_front();
  if (answer) return Utf8ToGbk(*answer);
  return std::nullopt;
}

void FakeWindow::ShowInformation(const std::string& text) {
  shown.push_back({"information", GbkToUtf8(text)});
}
void FakeWindow::ShowError(const std::string& text) {
  shown.push_back({"error", GbkToUtf8(text)});
}
void FakeWindow::ShowMessage(const std::string& text) {
  shown.push_back({"message", GbkToUtf8(text)});
}

bool FakeWindow::SaveState() {
  ++saveStates;
  events.push_back("save");
  if (onSaveState) onSaveState();
  return saveStateSucceeds;
}

void FakeWindow::ClearBrowserCache(std::function<void()> done) {
  ++cacheClears;
  events.push_back("clear");
  if (holdCleaner) {
    heldCleanerDone = std::move(done);
  } else {
    done();
  }
}

void FakeWindow::Paused(PauseReason reason, const std::string& message) {
  RunStatusBar::Paused(reason, message);
  attention.push_back(GbkToUtf8(message));
}

}  // namespace brivano::testing
