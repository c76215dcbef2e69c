// Shared pieces of brivano-cli's commands: argument walking, exit codes and
// file input.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace brivano::cli {

enum ExitCode { kSuccess = 0, kFailed = 1, kUsage = 2 };

// Thrown for a usage error; main prints it with the usage text.
struct UsageError {
  std::string message;
};

// Walks "--name value" options and positional arguments.
class Arguments {
 public:
  explicit Arguments(std::span<char* const> args);
  // The value of an option that takes one, or std::nullopt when absent.
  std::optional<std::string> Option(std::string_view name);
  bool Flag(std::string_view name);
  // What is left once every option has been taken; an unknown option is a
  // usage error.
  std::vector<std::string> Positionals() const;

 private:
  std::vector<std::string> args_;
  std::vector<bool> used_;
};

// The whole content of a file, or of standard input for "-" or an empty
// path. Regular files are mapped into memory rather than copied: a page file
// of a hundred megabytes is then read once, by the extractor. Throws
// std::runtime_error with the program's message on failure.
class InputFile {
 public:
  explicit InputFile(const std::string& path);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  std::string_view bytes() const { return mapped_ ? std::string_view(mapped_, size_) : copy_; }

 private:
  const char* mapped_ = nullptr;
  std::size_t size_ = 0;
  std::string copy_;
};

int RunUrlCommand(Arguments& args);
int RunExtractCommand(Arguments& args);
int RunMergeCommand(Arguments& args);
int RunKeywordsCommand(Arguments& args);
int RunExportCommand(Arguments& args);

}  // namespace brivano::cli
