// The run's window when nobody sits at one: the keyword lines of a file, the
// run's options, the start-line question answered in advance, and every
// message and status text handed on to whoever reports them. What the run
// asks of the program itself (the state save, the cache cleaner, attention
// at a verification page) goes to callbacks.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "files/file_interfaces.h"
#include "search/run_interfaces.h"

namespace brivano {

class SearchRun;

struct UnattendedServices {
  std::function<void(const std::string& gbkText)> message;  // boxes and errors
  std::function<bool()> saveState;
  std::function<void(std::function<void()> done)> clearBrowserCache;
  std::function<void(PauseReason reason)> askForAttention;
  std::function<int()> cooldownSeconds;
};

class UnattendedWindow : public RunWindow {
 public:
  explicit UnattendedWindow(UnattendedServices services) : services_(std::move(services)) {}
  // What the run is to do, once the settings it starts from are known.
  void Configure(std::vector<std::string> keywordLines, RunOptions options,
                 std::string startLineAnswer);

  RunOptions Options() const override { return options_; }
  int KeywordLineCount() const override { return static_cast<int>(lines_.size()); }
  std::string KeywordLine(int index0) const override;

  // The status bar has no one to show it to; progress comes from the pages
  // the recorder is given.
  void SetStatusPanel(StatusPanel, const std::string&) override {}
  bool SearchEnabled() const override { return searchEnabled_; }
  void SetSearchEnabled(bool enabled) override { searchEnabled_ = enabled; }
  void SetStopEnabled(bool) override {}
  void SetChoiceGroupsEnabled(bool) override {}
  void Repaint() override {}

  // The start line given in advance; the question is never put.
  std::optional<std::string> InputQuery(const std::string&, const std::string&,
                                        const std::string&) override {
    return startLineAnswer_;
  }
  void ShowInformation(const std::string& text) override { services_.message(text); }
  void ShowError(const std::string& text) override { services_.message(text); }
  void ShowMessage(const std::string& text) override { services_.message(text); }

  bool SaveState() override { return services_.saveState(); }
  void ClearBrowserCache(std::function<void()> done) override {
    services_.clearBrowserCache(std::move(done));
  }
  void AskForAttention(PauseReason reason, const std::string&) override {
    services_.askForAttention(reason);
  }
  int CooldownSeconds() const override { return services_.cooldownSeconds(); }

 private:
  std::vector<std::string> lines_;
  RunOptions options_;
  std::string startLineAnswer_;
  UnattendedServices services_;
  bool searchEnabled_ = true;
};

// The settings file's controls for a run without a window: they take what
// the file says, the options the command line leaves open. brivano-run only
// reads the file; where to go on it keeps in a state of its own.
class SettingsCopy : public SettingsControls {
 public:
  RunOptions Options() const override { return options_; }
  const RunOptions& Loaded() const { return options_; }
  std::int32_t LoadedStartLine() const { return loadedStartLine_; }
  // Where StartLine() reads once a run exists.
  void SetRun(const SearchRun* run) { run_ = run; }

  std::string KeywordText() const override { return {}; }
  void SetKeywordText(const std::string&) override {}
  void SetSpeed(int seconds) override { options_.speed = seconds; }
  void SetPageLimit(int pages) override { options_.pageLimit = pages; }
  void SetDedupChecked(bool checked) override { options_.dedup = checked; }
  void SetAutoSaveChecked(bool checked) override { options_.autoSave = checked; }
  void CheckContactKind(ContactKind kind) override { options_.kind = kind; }
  void CheckEngine(Engine engine) override { options_.engine = engine; }
  void SetMark(ContactKind kind, const std::string& text) override {
    options_.marks[static_cast<std::size_t>(kind)] = text;
  }
  void SetCrossRunDedup(bool checked) override { options_.crossRunDedup = checked; }
  void SetValidation(bool checked) override { options_.validate = checked; }
  std::int32_t StartLine() const override;
  void SetStartLine(std::int32_t line) override { loadedStartLine_ = line; }

 private:
  RunOptions options_;
  std::int32_t loadedStartLine_ = 1;
  const SearchRun* run_ = nullptr;
};

}  // namespace brivano
