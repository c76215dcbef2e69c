// The controls of the main window as plain fields, with a log of what the run
// and its 搜索 command showed and asked: the run's host, the command's boxes
// and the status bar its events set.
#pragma once

#include <array>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "search/run_interfaces.h"
#include "search/run_status_bar.h"
#include "search/start_command.h"

namespace brivano::testing {

// Everything in the fake is UTF-8 for readable tests; it converts at the
// interface, as the real window does.
class FakeWindow : public RunHost, public StartDialogs, public RunStatusBar {
 public:
  FakeWindow();
  RunOptions Options() const;

  std::vector<std::string> keywords;  // UTF-8 lines
  std::string speedText = "8";
  std::string pageLimitText = "10";
  bool dedup = false;
  bool autoSave = false;
  ContactKind kind = ContactKind::Mobile;
  Engine engine = Engine::So360;
  std::array<std::string, 4> marks;  // UTF-8
  bool crossRunDedup = false;
  bool validate = false;
  bool visitSites = false;

  std::array<std::string, kStatusPanelCount> panels;  // UTF-8, by StatusPanel
  const std::string& Panel(StatusPanel panel) const {
    return panels[static_cast<std::size_t>(panel)];
  }
  bool searchEnabled = true;
  bool stopEnabled = true;
  bool groupsEnabled = true;

  // Answers for the start-line box, in order; std::nullopt cancels. With no
  // answer queued the offered value is accepted.
  std::deque<std::optional<std::string>> inputAnswers;
  std::vector<std::string> offeredStartLines;
  std::vector<std::string> prompts;  // "caption|prompt"

  struct Shown {
    std::string kind;  // "information", "error" or "message"
    std::string text;  // UTF-8
  };
  std::vector<Shown> shown;

  int saveStates = 0;
  bool saveStateSucceeds = true;
  std::function<void()> onSaveState;
  int cacheClears = 0;
  // Keeps the cleaner's `done` instead of calling it at once.
  bool holdCleaner = false;
  std::function<void()> heldCleanerDone;
  std::vector<std::string> events;     // "save", "clear", in order
  std::vector<std::string> attention;  // what asked for the user's attention (UTF-8)
  int cooldownSeconds = 0;

  int KeywordLineCount() const override;
  std::string KeywordLine(int index0) const override;

  std::optional<std::string> InputQuery(const std::string& caption, const std::string& prompt,
                                        const std::string& value) override;
  void ShowInformation(const std::string& text) override;
  void ShowError(const std::string& text) override;
  void ShowMessage(const std::string& text) override;

  bool SaveState() override;
  void ClearBrowserCache(std::function<void()> done) override;
  void Paused(PauseReason reason, const std::string& message) override;
  int CooldownSeconds() const override { return cooldownSeconds; }
};

}  // namespace brivano::testing
