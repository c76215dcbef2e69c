// What a user can tune in files without a new build: "engines.ini", whose
// sections override rows of the engine table when an engine changes its
// pages, and the settings file's rest between keywords.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "files/ini_file.h"
#include "search/engine_table.h"
#include "visit/visit_tuning.h"

namespace brivano {

inline constexpr std::string_view kEngineOverridesFileName = "engines.ini";
// Settings key: the most seconds of a random extra wait before each keyword
// after the first; 0 (the default) waits nothing.
inline constexpr std::string_view kCooldownKey = "cooldown";

struct EngineOverrides {
  EngineTable table;
  // Empty when the file was applied (or there is none); otherwise what is
  // wrong with it, in UTF-8, and `table` holds the built-in rows.
  std::string problem;
};

// Applies a file's content to `builtIn`. Sections are named by an engine's
// settings word or brivano-cli name ("baidu", "sougou"/"sogou", "360",
// "biying"/"bing"); keys: host, path, pagekey, nextpage, nextpagerule
// ("contains" or "linestart"), verifyurl, verifytext, verifytitle, the CSS
// selectors nextselector, verifyselector, resultselector, titleselector and
// siteselector, and targetattributes (the attributes that hold a result's own
// address, lower-cased; may be emptied); lists are separated by "|"; values
// are taken whole, however long. UTF-8 (with or without a byte-order mark)
// or GBK. Keys a section leaves out keep their
// built-in values. A file with any line that makes no sense, or a NUL byte
// (named by the line it stands on), is not applied at all.
EngineOverrides ApplyEngineOverrides(const EngineTable& builtIn, std::string_view content);

// Reads "engines.ini" in `folder`; no file gives the built-in rows and no
// problem.
EngineOverrides LoadEngineOverrides(const EngineTable& builtIn,
                                    const std::filesystem::path& folder);

// The cooldown key's value, kept within 0..3600.
int ReadCooldownSeconds(const IniFile& settings);

// Settings keys of 访问网站: the days within which a site an earlier run
// visited is left out (0: every run visits it again), and the seconds
// between two requests to one host.
inline constexpr std::string_view kRevisitDaysKey = "revisitdays";
inline constexpr std::string_view kSiteIntervalKey = "siteinterval";

// Their values: days within 0..3650 (default 30), seconds within 1..600
// (default 2).
VisitTuning ReadVisitTuning(const IniFile& settings);

}  // namespace brivano
