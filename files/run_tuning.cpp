#include "files/run_tuning.h"

#include <algorithm>
#include <cerrno>
#include <functional>

#include "base/error_text.h"
#include "base/text.h"
#include "base/text_lines.h"
#include "files/settings_store.h"
#include "files/whole_file.h"

namespace brivano {
namespace {

constexpr int kMostCooldownSeconds = 3600;

std::vector<std::string> SplitList(std::string_view value) {
  std::vector<std::string> items;
  std::size_t start = 0;
  while (start <= value.size()) {
    const std::size_t bar = std::min(value.find('|', start), value.size());
    const std::string_view item = TrimBlanks(value.substr(start, bar - start));
    if (!item.empty()) items.emplace_back(item);
    start = bar + 1;
  }
  return items;
}

// Each key sets one field of a row; false when the value cannot serve.
struct OverrideKey {
  std::string_view key;
  std::function<bool(EngineRow&, std::string_view)> apply;
};

bool SetText(std::string& field, std::string_view value) {
  if (value.empty()) return false;
  field = std::string(value);
  return true;
}

bool SetList(std::vector<std::string>& field, std::string_view value, bool mayBeEmpty) {
  std::vector<std::string> items = SplitList(value);
  if (items.empty() && !mayBeEmpty) return false;
  field = std::move(items);
  return true;
}

// A selector list keeps its commas; "|" separates alternatives as in the
// other lists.
bool SetSelector(std::string& field, std::string_view value) {
  std::string joined;
  for (const std::string& item : SplitList(value)) {
    if (!joined.empty()) joined += ", ";
    joined += item;
  }
  field = std::move(joined);
  return true;
}

const std::vector<OverrideKey>& OverrideKeys() {
  static const std::vector<OverrideKey> keys = {
      {"host",
       [](EngineRow& row, std::string_view v) {
         return (v.starts_with("http://") || v.starts_with("https://")) &&
                SetText(row.schemeAndHost, v);
       }},
      {"path", [](EngineRow& row, std::string_view v) { return SetText(row.pathAndQueryKey, v); }},
      {"pagekey", [](EngineRow& row, std::string_view v) { return SetText(row.pageKey, v); }},
      // Without a next-page text every keyword would end after its first page.
      {"nextpage",
       [](EngineRow& row, std::string_view v) { return SetList(row.nextPageTexts, v, false); }},
      {"nextpagerule",
       [](EngineRow& row, std::string_view v) {
         if (v == "contains")
           row.nextPageRule = NextPageRule::LineContains;
         else if (v == "linestart")
           row.nextPageRule = NextPageRule::LineStartsWith;
         else
           return false;
         return true;
       }},
      {"verifyurl",
       [](EngineRow& row, std::string_view v) { return SetList(row.verifyAddressParts, v, true); }},
      {"verifytext",
       [](EngineRow& row, std::string_view v) { return SetList(row.verifyTexts, v, true); }},
      // Selectors may be emptied: the texts and titles still serve.
      {"nextselector",
       [](EngineRow& row, std::string_view v) { return SetSelector(row.nextPageSelector, v); }},
      {"verifyselector",
       [](EngineRow& row, std::string_view v) { return SetSelector(row.verifySelector, v); }},
      {"verifytitle",
       [](EngineRow& row, std::string_view v) { return SetList(row.verifyTitles, v, true); }},
      {"resultselector",
       [](EngineRow& row, std::string_view v) { return SetSelector(row.resultSelector, v); }},
      {"titleselector",
       [](EngineRow& row, std::string_view v) { return SetSelector(row.titleSelector, v); }},
      {"siteselector",
       [](EngineRow& row, std::string_view v) { return SetSelector(row.siteSelector, v); }},
      // Without attributes only the title link itself names the target. The
      // markup's attribute names are read in lower case.
      {"targetattributes",
       [](EngineRow& row, std::string_view v) {
         SetList(row.targetAttributes, LowerAscii(v), true);
         return true;
       }},
  };
  return keys;
}

std::string LineProblem(std::size_t lineNumber) {
  return "engines.ini 第" + std::to_string(lineNumber) + "行有误，已改用内置的搜索引擎设置";
}

EngineOverrides ApplyLines(const EngineTable& builtIn, std::string_view content) {
  const std::string utf8 = IsValidUtf8(content) ? std::string(content) : GbkToUtf8(content);
  EngineTable table = builtIn;
  EngineRow* row = nullptr;
  std::size_t number = 0;
  for (const IniFile::Line& line : IniFile(utf8).Lines()) {
    ++number;
    switch (line.kind) {
      case IniFile::Line::Kind::Blank:
      case IniFile::Line::Kind::Comment:
        continue;
      case IniFile::Line::Kind::Other:
        return {builtIn, LineProblem(number)};
      case IniFile::Line::Kind::Section: {
        const std::optional<Engine> engine = EngineFromName(LowerAscii(line.name));
        if (!engine) return {builtIn, LineProblem(number)};
        row = &table[static_cast<int>(*engine)];
        continue;
      }
      case IniFile::Line::Kind::Key: {
        const auto& keys = OverrideKeys();
        const std::string key = LowerAscii(line.name);
        const auto found = std::find_if(keys.begin(), keys.end(),
                                        [&](const OverrideKey& k) { return k.key == key; });
        if (row == nullptr || found == keys.end() || !found->apply(*row, line.value)) {
          return {builtIn, LineProblem(number)};
        }
        continue;
      }
    }
  }
  return {table, {}};
}

}  // namespace

EngineOverrides ApplyEngineOverrides(const EngineTable& builtIn, std::string_view content) {
  // Windows' Notepad begins a UTF-8 file with a byte-order mark.
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (content.starts_with(kByteOrderMark)) content.remove_prefix(kByteOrderMark.size());
  // The INI reader stops at a NUL byte; what follows it would be lost
  // without a word.
  const std::size_t nul = content.find('\0');
  EngineOverrides applied = ApplyLines(builtIn, content.substr(0, nul));
  if (applied.problem.empty() && nul != std::string_view::npos) {
    return {builtIn, LineProblem(LineOfByte(content, nul))};
  }
  return applied;
}

EngineOverrides LoadEngineOverrides(const EngineTable& builtIn,
                                    const std::filesystem::path& folder) {
  const std::filesystem::path path = folder / kEngineOverridesFileName;
  std::error_code error;
  if (!std::filesystem::exists(path, error)) return {builtIn, {}};
  const WholeFile file = ReadWholeFile(path);
  if (!file.ok()) {
    return {builtIn,
            "engines.ini 无法读取（" + ErrnoText(file.error) + "），已改用内置的搜索引擎设置"};
  }
  return ApplyEngineOverrides(builtIn, file.bytes);
}

int ReadCooldownSeconds(const IniFile& settings) {
  return std::clamp<std::int32_t>(settings.ReadInteger(kSettingsSection, kCooldownKey, 0), 0,
                                  kMostCooldownSeconds);
}

VisitTuning ReadVisitTuning(const IniFile& settings) {
  VisitTuning tuning;
  tuning.revisitDays = std::clamp<std::int32_t>(
      settings.ReadInteger(kSettingsSection, kRevisitDaysKey, tuning.revisitDays), 0, 3650);
  const long long seconds = std::clamp<std::int32_t>(
      settings.ReadInteger(kSettingsSection, kSiteIntervalKey,
                           static_cast<std::int32_t>(tuning.politeness.perHostIntervalMs / 1000)),
      1, 600);
  tuning.politeness.perHostIntervalMs = seconds * 1000;
  return tuning;
}

}  // namespace brivano
