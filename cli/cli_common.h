// Shared pieces of brivano-cli's commands: file input, standard output and
// standard error.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/arguments.h"
#include "base/terminal_text.h"

namespace brivano {
class HarvestStore;
}

namespace brivano::cli {

inline constexpr std::string_view kProgramName = "brivano-cli";

// brivano-cli's exit status; brivano-run's begins with the same three.
enum ExitCode { kSuccess = 0, kFailed = 1, kUsage = 2 };

// Standard output and standard error speak the terminal's encoding, as the
// locale names it (TerminalEncodingOfLocale); files keep their own.
TerminalEncoding Terminal();

// Writes UTF-8 text to standard output in the terminal's encoding. A failed
// write throws std::runtime_error with a message, so that a full disk or a
// closed terminal ends the command.
void Print(std::string_view utf8);
// The same for a GBK text of the core.
void PrintGbk(std::string_view gbk);
// Writes text that is already in the terminal's encoding; throws like Print.
void PrintPrepared(std::string_view text);
// Flushes standard output; throws like Print when that fails.
void FinishOutput();
// "brivano-cli：" and the message, a line on standard error.
void PrintError(std::string_view utf8Message);

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

// Throws std::runtime_error with the user's message when `output` is one of
// `inputs`, `store` or the store's own files: a command never writes over
// what it reads.
void RefuseOutputClash(const std::string& output, const std::vector<std::filesystem::path>& inputs,
                       const std::filesystem::path& store = {});

// The harvest store's path: the one --db names, or the program's own.
std::filesystem::path StorePath(const std::optional<std::string>& dbOption);
// The harvest store at `path`; an export or a look never creates one. Throws
// std::runtime_error with the user's message.
std::unique_ptr<HarvestStore> OpenExistingStore(const std::filesystem::path& path);
// Throws std::runtime_error naming run `runId` when the store has no such run.
void RequireRun(HarvestStore& store, std::int64_t runId);

int RunUrlCommand(Arguments& args);
int RunExtractCommand(Arguments& args);
int RunMergeCommand(Arguments& args);
int RunKeywordsCommand(Arguments& args);
int RunExportCommand(Arguments& args);
int RunRerunCommand(Arguments& args);
int RunBlocksCommand(Arguments& args);

}  // namespace brivano::cli
