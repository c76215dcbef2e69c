#include "files/settings_store.h"

#include "files/run_tuning.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "base/text.h"
#include "files/file_errors.h"
#include "files/result_files.h"
#include "files/text_file.h"
#include "files/whole_file.h"

namespace brivano {
namespace {

std::string_view EngineWord(Engine engine) {
  return DefaultEngineTable()[static_cast<int>(engine)].settingsWord;
}

// A spin box's value as the state save writes it: the number in its text,
// also outside the range, or the minimum when the text is no number.
bool IsMissing(int error) {
  return error == ENOENT || error == ENOTDIR;
}

}  // namespace

void ApplySettings(const IniFile& settings, SettingsControls& controls) {
  for (const OptionalSwitchRow& row : kOptionalSwitches) {
    (controls.*row.set)((settings.ReadInteger(kSettingsSection, row.key, 0) & 0xFF) != 0);
  }
  for (const SettingsKeyRow& row : kSettingsKeys) {
    auto number = [&] {
      return settings.ReadInteger(kSettingsSection, row.key, row.defaultNumber);
    };
    switch (row.field) {
      case SettingsField::Speed:
        controls.SetSpeed(std::clamp(number(), kSpeedRange.minimum, kSpeedRange.maximum));
        break;
      case SettingsField::PageLimit:
        controls.SetPageLimit(
            std::clamp(number(), kPageLimitRange.minimum, kPageLimitRange.maximum));
        break;
      case SettingsField::StartLine:
        controls.SetStartLine(number());  // the search command corrects 0 and below
        break;
      case SettingsField::Dedup:
        controls.SetDedupChecked((number() & 0xFF) != 0);
        break;
      case SettingsField::AutoSave:
        controls.SetAutoSaveChecked((number() & 0xFF) != 0);
        break;
      case SettingsField::Kind: {
        const std::string word = settings.ReadString(kSettingsSection, row.key,
                                                     InfoOf(kDefaultContactKind).settingsWord);
        for (const ContactKindInfo& info : kContactKindTable) {
          if (word == info.settingsWord) {
            controls.CheckContactKind(info.kind);
            break;
          }
        }
        break;
      }
      case SettingsField::Engine: {
        const std::string word =
            settings.ReadString(kSettingsSection, row.key, EngineWord(kDefaultEngine));
        for (const EngineRow& engine : DefaultEngineTable()) {
          if (word == engine.settingsWord) {
            controls.CheckEngine(engine.engine);
            break;
          }
        }
        break;
      }
      case SettingsField::Mark:
        controls.SetMark(row.markKind, settings.ReadString(kSettingsSection, row.key,
                                                           Gbk(InfoOf(row.markKind).defaultMark)));
        break;
    }
  }
}

void StoreSettings(const SettingsControls& controls, IniFile& settings) {
  const RunOptions options = controls.Options();
  for (const SettingsKeyRow& row : kSettingsKeys) {
    switch (row.field) {
      case SettingsField::Speed:
        settings.WriteInteger(kSettingsSection, row.key, options.speed);
        break;
      case SettingsField::PageLimit:
        settings.WriteInteger(kSettingsSection, row.key, options.pageLimit);
        break;
      case SettingsField::StartLine:
        settings.WriteInteger(kSettingsSection, row.key, controls.StartLine());
        break;
      case SettingsField::Dedup:
        settings.WriteInteger(kSettingsSection, row.key, options.dedup ? 1 : 0);
        break;
      case SettingsField::AutoSave:
        settings.WriteInteger(kSettingsSection, row.key, options.autoSave ? 1 : 0);
        break;
      case SettingsField::Kind:
        settings.WriteString(kSettingsSection, row.key, InfoOf(options.kind).settingsWord);
        break;
      case SettingsField::Engine:
        settings.WriteString(kSettingsSection, row.key, EngineWord(options.engine));
        break;
      case SettingsField::Mark:
        settings.WriteString(kSettingsSection, row.key, options.Mark(row.markKind));
        break;
    }
  }
  for (const OptionalSwitchRow& row : kOptionalSwitches) {
    const bool on = options.*row.option;
    if (on || !settings.ReadString(kSettingsSection, row.key, "").empty()) {
      settings.WriteInteger(kSettingsSection, row.key, on ? 1 : 0);
    }
  }
}

StateStore::StateStore(ProgramFiles files, SettingsControls& controls, const BuyerList& buyers,
                       UserFeedback& feedback)
    : files_(std::move(files)), controls_(controls), buyers_(buyers), feedback_(feedback) {}

void StateStore::Load() {
  RemoveStaleTemporaries(files_.folder, {files_.settingsFileName});
  RemoveStaleTemporaries(files_.DataFolder(), {kKeywordStoreFileName, kAutoSaveFileName});
  const WholeFile keywords = ReadWholeFile(files_.KeywordStorePath(), ReadUntil::FirstNul);
  if (keywords.ok()) {
    controls_.SetKeywordText(NormalizeLineBreaks(keywords.bytes));
    keywordStoreNotShown_ = keywords.cutAtNul;
    // The box shows the list up to the NUL; the user is told where, and that
    // the file is kept whole.
    if (keywords.cutAtNul) {
      feedback_.ShowError(
          Gbk(NulInTextFileText(files_.KeywordStorePath(),
                                LineOfByte(keywords.bytes, keywords.bytes.size()), "关键词列表") +
              "；改动关键词后，原文件另存为“" + std::string(kKeywordStoreFileName) + ".bak”"));
    }
  } else if (!IsMissing(keywords.error)) {
    feedback_.ShowError(Gbk(CannotOpenFileText(files_.KeywordStorePath(), keywords.error)));
    keywordStoreNotShown_ = true;
  }
  loadedKeywordText_ = controls_.KeywordText();
  // A settings file that is missing or unreadable gives the defaults.
  const WholeFile settings = ReadWholeFile(files_.SettingsPath());
  const IniFile loaded = settings.ok() ? IniFile(settings.bytes) : IniFile();
  ApplySettings(loaded, controls_);
  cooldownSeconds_ = ReadCooldownSeconds(loaded);
  visitTuning_ = ReadVisitTuning(loaded);
}

FileResult StateStore::WriteSettingsFile() {
  // The keys are written into the file as it stands, so that anything else
  // in it survives; a file that exists but cannot be read is not replaced.
  const WholeFile former = ReadWholeFile(files_.SettingsPath());
  if (!former.ok() && !IsMissing(former.error)) return FileResult{former.error};
  IniFile settings(former.bytes);
  StoreSettings(controls_, settings);
  return WriteFileAtomically(files_.SettingsPath(), settings.Content());
}

bool StateStore::SaveSettings() {
  const FileResult result = WriteSettingsFile();
  if (!result.ok()) feedback_.ShowError(Gbk(UnableToWriteText(files_.SettingsPath())));
  return result.ok();
}

void StateStore::SaveAtExit() {
  SaveKeywords();
  WriteSettingsFile();
}

bool StateStore::WriteAutoSaveFile() {
  BusyCursorScope busy(feedback_);
  FileResult result;
  if (buyers_.empty()) {
    // An empty list leaves no auto-save file; a failed removal is not
    // reported by itself.
    std::error_code ignored;
    std::filesystem::remove(files_.AutoSavePath(), ignored);
  } else {
    feedback_.Repaint();
    result = WriteResultFile(files_.AutoSavePath(), buyers_);
    if (!result.ok()) feedback_.ShowError(Gbk(IoErrorText(result.error)));
  }
  feedback_.Repaint();
  return result.ok();
}

bool StateStore::SaveState() {
  return SaveSettings() && WriteAutoSaveFile();
}

void StateStore::SaveProgress() {
  if (SaveState()) feedback_.ShowMessage(Gbk(kProgressSavedMessage));
}

FileResult StateStore::SaveKeywords() {
  const std::string text = controls_.KeywordText();
  if (keywordStoreNotShown_) {
    if (text == loadedKeywordText_) return {};
    if (const FileResult kept = KeepKeywordStoreCopy(); !kept.ok()) return kept;
    keywordStoreNotShown_ = false;
  }
  return WriteFileAtomically(files_.KeywordStorePath(), text);
}

// A second name for the file as it stands (the atomic write then gives the
// store a new file and leaves this one to the copy); where the file system
// has no hard links, a copy of its bytes.
FileResult StateStore::KeepKeywordStoreCopy() const {
  const std::filesystem::path store = files_.KeywordStorePath();
  std::filesystem::path copy = store;
  copy += kKeywordStoreCopySuffix;
  std::filesystem::path link = copy;
  link += ".link";
  ::unlink(link.c_str());
  if (::linkat(AT_FDCWD, store.c_str(), AT_FDCWD, link.c_str(), AT_SYMLINK_FOLLOW) == 0) {
    if (::rename(link.c_str(), copy.c_str()) == 0) return {};
    const int error = errno;
    ::unlink(link.c_str());
    return {error};
  }
  const WholeFile former = ReadWholeFile(store);
  if (!former.ok()) return {former.error};
  return WriteFileAtomically(copy, former.bytes);
}

}  // namespace brivano
