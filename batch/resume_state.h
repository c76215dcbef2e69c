// brivano-run's own record of where to go on: one entry per keyword file,
// known by its path and content, in "brivano-run.ini" beside the settings
// file. The desktop program's settings file is only read by brivano-run,
// never written: the window's choices and its keyword line stay its own, and
// a different keyword file never starts at another file's line.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brivano {

inline constexpr std::string_view kBatchStateFileName = "brivano-run.ini";

// The key of a keyword file: its absolute path and its lines (GBK), hashed.
std::string KeywordFileKey(const std::filesystem::path& keywordFile,
                           const std::vector<std::string>& lines);

class BatchResumeState {
 public:
  explicit BatchResumeState(std::filesystem::path stateFile) : path_(std::move(stateFile)) {}
  // The line the last run of the keyword file left to go on from.
  std::optional<std::int32_t> LineFor(const std::string& key) const;
  // Records it, keeping every other file's entry. On failure, the user's
  // message (UTF-8); the former file is untouched.
  std::optional<std::string> Save(const std::string& key, const std::filesystem::path& keywordFile,
                                  std::int32_t line) const;

 private:
  std::filesystem::path path_;
};

}  // namespace brivano
