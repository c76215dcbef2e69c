// The settings file's controls for brivano-run: they take what the file
// says, which the command line then overrides; brivano-run only reads the
// file, and where to go on it keeps in a state of its own.
#pragma once

#include <cstdint>
#include <string>

#include "files/file_interfaces.h"

namespace brivano {

class SearchRun;

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
  void SetVisitSites(bool checked) override { options_.visitSites = checked; }
  std::int32_t StartLine() const override;
  void SetStartLine(std::int32_t line) override { loadedStartLine_ = line; }

 private:
  RunOptions options_;
  std::int32_t loadedStartLine_ = 1;
  const SearchRun* run_ = nullptr;
};

}  // namespace brivano
