// Runs brivano-cli (the path comes from CTest's environment) and captures
// what it prints.
#pragma once

#include <filesystem>
#include <string>

namespace brivano::testing {

struct CliResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Where standard input and output go instead of the captured files.
struct CliStreams {
  std::string stdinFrom;   // a path, e.g. /dev/zero
  std::string stdoutTo;    // a path, e.g. /dev/full; `out` stays empty
  bool pipeInput = false;  // `input` arrives through a pipe, not a file
};

// `arguments` is a shell-quoted argument string; `input` goes to standard
// input.
CliResult RunCli(const std::string& arguments, const std::string& input = "",
                 const CliStreams& streams = {});

// A fresh folder under the system's temporary folder, removed on destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path Write(const std::string& name, const std::string& bytes) const;

 private:
  std::filesystem::path path_;
};

std::string ReadFileBytes(const std::filesystem::path& path);
std::string ShellQuote(const std::string& text);

}  // namespace brivano::testing
