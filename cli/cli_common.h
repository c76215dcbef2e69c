// Shared pieces of brivano-cli's commands: argument walking, exit codes,
// file input and standard output.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace brivano::cli {

enum ExitCode { kSuccess = 0, kFailed = 1, kUsage = 2 };

// Thrown for a usage error; main prints it with the command's usage text.
struct UsageError {
  std::string message;
};

// Walks "--name value" options and positional arguments. "--" ends the
// options: everything after it is positional, also when it starts with "-".
class Arguments {
 public:
  explicit Arguments(std::span<char* const> args);
  // The value of an option that takes one, or std::nullopt when absent. An
  // option given twice is a usage error.
  std::optional<std::string> Option(std::string_view name);
  bool Flag(std::string_view name);
  // What is left once every option has been taken; an unknown option is a
  // usage error.
  std::vector<std::string> Positionals() const;
  // Whether --help or -h stands among the options.
  bool WantsHelp() const;

 private:
  std::optional<std::size_t> Find(std::string_view name) const;

  std::vector<std::string> args_;
  std::vector<bool> used_;
  std::size_t optionsEnd_;  // index of "--", or the number of arguments
};

// A file name given on the command line; an empty one is a usage error
// rather than a silent "standard input".
const std::string& FileName(const std::string& name);

// A number given on the command line: decimal digits only (no sign, no
// hexadecimal, no "$"), at least `minimum`.
std::int32_t DecimalArgument(std::string_view option, const std::string& text,
                             std::int32_t minimum);

// Writes to standard output; a failed write throws std::runtime_error with a
// message, so that a full disk or a closed terminal ends the command.
void Print(std::string_view text);
// Flushes standard output; throws like Print when that fails.
void FinishOutput();

// A file named on the command line, or standard input for "-". Its content
// ends at its first NUL byte. A regular file is mapped into memory rather
// than copied: a page file of a hundred megabytes is then read once, by the
// extractor. Anything else (a pipe, a device) is read a block at a time, so
// that an endless source cannot fill the memory. Throws std::runtime_error
// with the program's message on failure.
class InputFile {
 public:
  explicit InputFile(const std::string& path);
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  bool mapped() const { return mapped_ != nullptr; }
  // The mapped content, NUL and all (callers stop at it).
  std::string_view bytes() const { return std::string_view(mapped_, size_); }
  // The next bytes of an input that is not mapped, up to `size`; 0 at the
  // end of the content.
  std::size_t Read(char* buffer, std::size_t size);

 private:
  std::string path_;
  int fd_ = -1;
  bool ended_ = false;
  const char* mapped_ = nullptr;
  std::size_t size_ = 0;
};

int RunUrlCommand(Arguments& args);
int RunExtractCommand(Arguments& args);
int RunMergeCommand(Arguments& args);
int RunKeywordsCommand(Arguments& args);
int RunExportCommand(Arguments& args);

}  // namespace brivano::cli
