#include "cli/cli_common.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace brivano::cli {

Arguments::Arguments(std::span<char* const> args)
    : args_(args.begin(), args.end()), used_(args_.size(), false) {}

std::optional<std::string> Arguments::Option(std::string_view name) {
  for (std::size_t i = 0; i < args_.size(); ++i) {
    if (used_[i] || args_[i] != name) continue;
    if (i + 1 >= args_.size()) throw UsageError{std::string(name) + " needs a value"};
    used_[i] = used_[i + 1] = true;
    return args_[i + 1];
  }
  return std::nullopt;
}

bool Arguments::Flag(std::string_view name) {
  for (std::size_t i = 0; i < args_.size(); ++i) {
    if (!used_[i] && args_[i] == name) {
      used_[i] = true;
      return true;
    }
  }
  return false;
}

std::vector<std::string> Arguments::Positionals() const {
  std::vector<std::string> rest;
  for (std::size_t i = 0; i < args_.size(); ++i) {
    if (used_[i]) continue;
    if (args_[i].size() > 1 && args_[i][0] == '-' && args_[i] != "--") {
      throw UsageError{"unknown option " + args_[i]};
    }
    rest.push_back(args_[i]);
  }
  return rest;
}

std::string ReadWholeFile(const std::string& path) {
  const bool fromStdin = path.empty() || path == "-";
  std::FILE* file = fromStdin ? stdin : std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    throw std::runtime_error("Cannot open file \"" + path + "\". " + std::strerror(errno));
  }
  std::string content;
  if (!fromStdin && std::fseek(file, 0, SEEK_END) == 0) {
    const long size = std::ftell(file);
    if (size > 0) content.reserve(static_cast<std::size_t>(size));
    std::rewind(file);
  }
  char buffer[1 << 16];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) content.append(buffer, got);
  const bool failed = std::ferror(file) != 0;
  const int error = errno;
  if (!fromStdin) std::fclose(file);
  if (failed) {
    throw std::runtime_error("Cannot open file \"" + path + "\". " + std::strerror(error));
  }
  return content;
}

}  // namespace brivano::cli
