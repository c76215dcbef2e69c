// The settings file, the keyword store "brivanobody.ini" and the auto-save
// file: the main window's working state from one start of the program to
// the next.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "base/buyer_list.h"
#include "base/contact_kind.h"
#include "files/atomic_file.h"
#include "files/file_interfaces.h"
#include "files/ini_file.h"
#include "files/program_files.h"
#include "search/engine_table.h"
#include "visit/visit_tuning.h"

namespace brivano {

inline constexpr std::string_view kSettingsSection = "config";
inline constexpr std::string_view kKeywordStoreCopySuffix = ".bak";
inline constexpr std::string_view kProgressSavedMessage = "已经保存当前网络搜索进程！";  // UTF-8

// What a settings key holds.
enum class SettingsField { Speed, PageLimit, StartLine, Dedup, AutoSave, Kind, Engine, Mark };

struct SettingsKeyRow {
  std::string_view key;
  SettingsField field;
  std::int32_t defaultNumber;  // Speed, PageLimit, StartLine, Dedup, AutoSave
  ContactKind markKind;        // Mark
};

// The eleven keys, in the order in which they are read and written. The
// default word of "info" and "search" and the default marks come from the
// contact-kind and engine tables.
inline constexpr std::array<SettingsKeyRow, 11> kSettingsKeys{{
    {"speed", SettingsField::Speed, kSpeedRange.initial, ContactKind::Mobile},
    {"maxpage", SettingsField::PageLimit, kPageLimitRange.initial, ContactKind::Mobile},
    {"process", SettingsField::StartLine, 1, ContactKind::Mobile},
    {"quchong", SettingsField::Dedup, 0, ContactKind::Mobile},
    {"autosave", SettingsField::AutoSave, 0, ContactKind::Mobile},
    {"info", SettingsField::Kind, 0, ContactKind::Mobile},
    {"search", SettingsField::Engine, 0, ContactKind::Mobile},
    {"markmob", SettingsField::Mark, 0, ContactKind::Mobile},
    {"markeml", SettingsField::Mark, 0, ContactKind::Email},
    {"markqq", SettingsField::Mark, 0, ContactKind::QQ},
    {"markfax", SettingsField::Mark, 0, ContactKind::Fax},
}};

// Switches added later, off by default. They are written only once they are
// on or stand in the file already, so that a file of a user who never used
// them keeps its eleven keys.
struct OptionalSwitchRow {
  std::string_view key;
  bool RunOptions::*option;
  void (SettingsControls::*set)(bool);
};
inline constexpr std::array<OptionalSwitchRow, 3> kOptionalSwitches{{
    {"kuaciquchong", &RunOptions::crossRunDedup, &SettingsControls::SetCrossRunDedup},  // 跨次去重
    {"haomajiaoyan", &RunOptions::validate, &SettingsControls::SetValidation},       // 号码校验
    {"fangwenwangzhan", &RunOptions::visitSites, &SettingsControls::SetVisitSites},  // 访问网站
}};

inline constexpr ContactKind kDefaultContactKind = ContactKind::Mobile;
inline constexpr Engine kDefaultEngine = Engine::So360;

// Applies a settings file's content to the controls: every key in table
// order, a missing or unusable value giving the key's default, numbers kept
// inside the boxes' ranges.
void ApplySettings(const IniFile& settings, SettingsControls& controls);
// Writes the controls' state into a settings file's content, every key in
// table order, in place where the key exists.
void StoreSettings(const SettingsControls& controls, IniFile& settings);

class StateStore {
 public:
  StateStore(ProgramFiles files, SettingsControls& controls, const BuyerList& buyers,
             UserFeedback& feedback);

  const ProgramFiles& files() const { return files_; }

  // The start-up load: the keyword store, then
  // the settings. A keyword store that exists but cannot be read is
  // reported; the settings are read all the same, so that the next state
  // save does not overwrite them with defaults. First, temporary files that
  // a killed write left behind are removed.
  void Load();

  // The state save: the settings file, then the auto-save
  // file. Returns false when a write failed; the failure has been shown and
  // the former file is untouched.
  bool SaveState();
  // Its first half: every key in one write; "Unable to write to %s" on
  // failure.
  bool SaveSettings();
  // Its second half: the buyer list to "autosave.txt", or no such file when
  // the list is empty; the runtime's message on failure.
  bool WriteAutoSaveFile();

  // The progress command 进程: the state save, confirmed by a message.
  void SaveProgress();

  // The exit save: the keyword box's text to the keyword
  // store. The caller closes the program whatever the result. A store that
  // the box does not show whole (cut at a NUL byte, or unreadable) is left
  // untouched while the box is unchanged, and is kept as
  // "brivanobody.ini.bak" before the box replaces it.
  FileResult SaveKeywords();
  // At exit: the keyword store, then the settings file as a state save writes
  // it, so that what the user set since the last run is kept. The window is
  // going: a failure is not shown, and the former file stays.
  void SaveAtExit();

  // The settings file's rest between keywords, as the last load read it.
  int CooldownSeconds() const { return cooldownSeconds_; }
  // 访问网站's days and per-host interval, as the last load read them.
  const VisitTuning& Visits() const { return visitTuning_; }

 private:
  FileResult KeepKeywordStoreCopy() const;
  FileResult WriteSettingsFile();

  // The box's text as loaded, and whether the store holds more than it.
  std::string loadedKeywordText_;
  int cooldownSeconds_ = 0;
  VisitTuning visitTuning_{};
  bool keywordStoreNotShown_ = false;

  ProgramFiles files_;
  SettingsControls& controls_;
  const BuyerList& buyers_;
  UserFeedback& feedback_;
};

}  // namespace brivano
