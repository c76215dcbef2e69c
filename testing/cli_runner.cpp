#include "testing/cli_runner.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace brivano::testing {

std::string ShellQuote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted.push_back(c);
    }
  }
  return quoted + "'";
}

TempDir::TempDir() {
  std::random_device random;
  path_ = std::filesystem::temp_directory_path() /
          ("brivano-test-" + std::to_string(random()) + std::to_string(random()));
  std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path TempDir::Write(const std::string& name, const std::string& bytes) const {
  const auto file = path_ / name;
  std::ofstream(file, std::ios::binary) << bytes;
  return file;
}

std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

CliResult RunCli(const std::string& arguments, const std::string& input,
                 const CliStreams& streams) {
  const char* cli = std::getenv("BRIVANO_CLI");
  if (cli == nullptr)
    throw std::runtime_error("BRIVANO_CLI is not set (run the tests through ctest)");
  TempDir dir;
  const auto in = dir.Write("stdin", input);
  const auto out = dir.path() / "stdout";
  const auto err = dir.path() / "stderr";
  const std::string source = streams.stdinFrom.empty() ? in.string() : streams.stdinFrom;
  const std::string sink = streams.stdoutTo.empty() ? out.string() : streams.stdoutTo;
  std::string command =
      ShellQuote(cli) + " " + arguments + " >" + ShellQuote(sink) + " 2>" + ShellQuote(err);
  command = streams.pipeInput ? "cat " + ShellQuote(source) + " | " + command
                              : command + " <" + ShellQuote(source);
  const int status = std::system(command.c_str());
  CliResult result;
  result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = ReadFileBytes(out);
  result.err = ReadFileBytes(err);
  return result;
}

}  // namespace brivano::testing
