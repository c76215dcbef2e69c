#include "files/output_clash.h"

#include <system_error>

namespace brivano {
namespace {

namespace fs = std::filesystem;

// The files SQLite keeps beside a store in WAL mode.
constexpr const char* kStoreSiblingSuffixes[] = {"", "-wal", "-shm"};

bool Exists(const fs::path& path) {
  std::error_code error;
  return fs::exists(path, error);
}

fs::path ResolvedName(const fs::path& path) {
  std::error_code error;
  const fs::path absolute = fs::absolute(path, error);
  if (error) return path.lexically_normal();
  const fs::path resolved = fs::weakly_canonical(absolute, error);
  return error ? absolute.lexically_normal() : resolved;
}

bool SameFile(const fs::path& output, bool outputExists, const fs::path& input) {
  if (outputExists != Exists(input)) return false;
  if (!outputExists) return ResolvedName(output) == ResolvedName(input);
  std::error_code error;
  return fs::equivalent(output, input, error);
}

std::string ClashText(const fs::path& output, const char* what, const fs::path& input) {
  return "输出文件“" + output.string() + "”与" + what + "“" + input.string() +
         "”是同一个文件，请另选输出文件。";
}

}  // namespace

std::optional<std::string> OutputClash(const fs::path& output, const std::vector<fs::path>& inputs,
                                       const fs::path& store) {
  const bool outputExists = Exists(output);
  std::error_code error;
  if (outputExists && !fs::is_regular_file(output, error)) return std::nullopt;
  for (const fs::path& input : inputs) {
    if (SameFile(output, outputExists, input)) return ClashText(output, "输入文件", input);
  }
  if (store.empty()) return std::nullopt;
  for (const char* suffix : kStoreSiblingSuffixes) {
    const fs::path file = store.string() + suffix;
    if (SameFile(output, outputExists, file)) return ClashText(output, "数据库文件", file);
  }
  return std::nullopt;
}

}  // namespace brivano
