// The window's controls as the core sees them: the run's host and the boxes
// of its 搜索 command, the status bar and run controls the run's events set,
// the settings store's controls and the file commands' feedback, in one
// adapter over the main window's widgets. Texts cross here between Qt and
// GBK.
#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "app/main_window_layout.h"
#include "app/user_dialogs.h"
#include "files/file_interfaces.h"
#include "search/run_interfaces.h"
#include "search/run_status_bar.h"
#include "search/start_command.h"

namespace brivano {

class SearchRun;

// What only the window itself can do for the run.
struct WindowServices {
  std::function<bool()> saveState;
  std::function<void(std::function<void()> done)> clearBrowserCache;
  std::function<void(const std::string& gbkMessage)> askForAttention;
  std::function<int()> cooldownSeconds;
};

class WindowControls : public RunHost,
                       public StartDialogs,
                       public RunStatusBar,
                       public SettingsControls,
                       public UserFeedback {
 public:
  WindowControls(QWidget& window, const MainWindowLayout& layout, UserDialogs& dialogs,
                 WindowServices services);
  // The run holds the start line; it is built after the controls it reads.
  void SetRun(SearchRun* run) { run_ = run; }
  // The status bar's counts as the boxes stand: the keyword lines (kept up
  // to date as the list is edited) and the values in the buyer list.
  void ShowCounts(int buyerValues);

  RunOptions Options() const override;

  int KeywordLineCount() const override;
  std::string KeywordLine(int index0) const override;
  bool SaveState() override;
  void ClearBrowserCache(std::function<void()> done) override;
  int CooldownSeconds() const override;

  std::optional<std::string> InputQuery(const std::string& caption, const std::string& prompt,
                                        const std::string& value) override;
  void ShowInformation(const std::string& text) override;
  void ShowError(const std::string& text) override;
  void ShowMessage(const std::string& text) override;

  void Paused(PauseReason reason, const std::string& message) override;

  std::string KeywordText() const override;
  void SetKeywordText(const std::string& text) override;
  void SetSpeed(int seconds) override;
  void SetPageLimit(int pages) override;
  void SetDedupChecked(bool checked) override;
  void SetAutoSaveChecked(bool checked) override;
  void CheckContactKind(ContactKind kind) override;
  void CheckEngine(Engine engine) override;
  void SetMark(ContactKind kind, const std::string& text) override;
  void SetCrossRunDedup(bool checked) override;
  void SetValidation(bool checked) override;
  void SetVisitSites(bool checked) override;
  std::int32_t StartLine() const override;
  void SetStartLine(std::int32_t line) override;

  void SetBusyCursor(bool busy) override;
  void Repaint() override;
  void SetStatusText(const std::string& text) override;

  void SetStatusPanel(StatusPanel panel, const std::string& text);
  // 搜索 off, 终止 on and the contact-kind and engine groups off while a run
  // is on; the other way round when none is.
  void ShowRunning(bool running);

 private:
  QWidget& window_;
  const MainWindowLayout& layout_;
  UserDialogs& dialogs_;
  WindowServices services_;
  SearchRun* run_ = nullptr;
  int busyDepth_ = 0;
  // The keyword box's lines as GBK, worked out again only after an edit.
  mutable std::vector<std::string> keywordLines_;
  mutable bool keywordLinesStale_ = true;
};

}  // namespace brivano
