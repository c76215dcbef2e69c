// What the settings store, the result files and the merge need of the
// desktop window, as two narrow interfaces. Every text here is GBK.
#pragma once

#include <cstdint>
#include <string>

#include "base/contact_kind.h"
#include "search/engine_table.h"
#include "search/run_options.h"

namespace brivano {

// The main window's controls that the settings file and the keyword store
// load and save. What they read comes in one go through Options().
class SettingsControls {
 public:
  virtual ~SettingsControls() = default;
  virtual RunOptions Options() const = 0;

  // The keyword box: its whole text, lines separated by CR LF.
  virtual std::string KeywordText() const = 0;
  virtual void SetKeywordText(const std::string& text) = 0;

  // The speed and the page limit; the values set are already inside the
  // boxes' ranges.
  virtual void SetSpeed(int seconds) = 0;
  virtual void SetPageLimit(int pages) = 0;
  virtual void SetDedupChecked(bool checked) = 0;     // 去重
  virtual void SetAutoSaveChecked(bool checked) = 0;  // 自动存盘
  // Checking one clears the others of its group.
  virtual void CheckContactKind(ContactKind kind) = 0;
  virtual void CheckEngine(Engine engine) = 0;
  virtual void SetMark(ContactKind kind, const std::string& text) = 0;
  virtual void SetCrossRunDedup(bool checked) = 0;  // 跨次去重
  virtual void SetValidation(bool checked) = 0;     // 号码校验
  virtual void SetVisitSites(bool checked) = 0;     // 访问网站

  // The start line, held by the run.
  virtual std::int32_t StartLine() const = 0;
  virtual void SetStartLine(std::int32_t line) = 0;
};

// Message boxes, the busy cursor and the status text of the file commands.
class UserFeedback {
 public:
  virtual ~UserFeedback() = default;
  virtual void ShowError(const std::string& text) = 0;    // the standard error box
  virtual void ShowMessage(const std::string& text) = 0;  // plain box, application title
  // The application-starting cursor for the whole application, or the
  // normal one again.
  virtual void SetBusyCursor(bool busy) = 0;
  virtual void Repaint() = 0;
  virtual void SetStatusText(const std::string& text) = 0;  // status panel 8
};

// Shows the busy cursor for as long as it lives, also when the work in
// between fails.
class BusyCursorScope {
 public:
  explicit BusyCursorScope(UserFeedback& feedback) : feedback_(feedback) {
    feedback_.SetBusyCursor(true);
  }
  ~BusyCursorScope() { feedback_.SetBusyCursor(false); }
  BusyCursorScope(const BusyCursorScope&) = delete;
  BusyCursorScope& operator=(const BusyCursorScope&) = delete;

 private:
  UserFeedback& feedback_;
};

}  // namespace brivano
