#include "batch/resume_state.h"

#include <cstdio>

#include "base/error_text.h"
#include "files/atomic_file.h"
#include "files/file_errors.h"
#include "files/ini_file.h"
#include "files/whole_file.h"

namespace brivano {
namespace {

constexpr std::string_view kLineKey = "line";
constexpr std::string_view kFileKey = "file";

// FNV-1a, 64 bits: enough to tell keyword files apart, and stable between
// builds and machines, unlike std::hash.
std::uint64_t Fnv1a(std::uint64_t hash, std::string_view bytes) {
  for (const unsigned char byte : bytes) {
    hash ^= byte;
    hash *= 0x100000001b3ULL;
  }
  return hash;
}

IniFile ReadState(const std::filesystem::path& path) {
  const WholeFile file = ReadWholeFile(path);
  return file.ok() ? IniFile(file.bytes) : IniFile();
}

}  // namespace

std::string KeywordFileKey(const std::filesystem::path& keywordFile,
                           const std::vector<std::string>& lines) {
  std::error_code ignored;
  const std::filesystem::path absolute = std::filesystem::absolute(keywordFile, ignored);
  std::uint64_t hash = Fnv1a(0xcbf29ce484222325ULL, absolute.lexically_normal().string());
  for (const std::string& line : lines) hash = Fnv1a(Fnv1a(hash, "\n"), line);
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

std::optional<std::int32_t> BatchResumeState::LineFor(const std::string& key) const {
  const std::int32_t line = ReadState(path_).ReadInteger(key, kLineKey, 0);
  if (line < 1) return std::nullopt;
  return line;
}

std::optional<std::string> BatchResumeState::Save(const std::string& key,
                                                  const std::filesystem::path& keywordFile,
                                                  std::int32_t line) const {
  IniFile state = ReadState(path_);
  state.WriteString(key, kFileKey, keywordFile.string());
  state.WriteInteger(key, kLineKey, line);
  const FileResult written = WriteFileAtomically(path_, state.Content());
  if (written.ok()) return std::nullopt;
  return UnableToWriteText(path_) + "：" + ErrnoText(written.error);
}

}  // namespace brivano
