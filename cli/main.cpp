// brivano-cli: the program's core for scripts and batch work.
#include <cstdio>
#include <exception>
#include <map>
#include <span>
#include <string>

#include "cli/cli_common.h"

namespace {

constexpr const char* kUsageText =
    "usage:\n"
    "  brivano-cli url --engine baidu|sogou|360|bing [--kind mobile|email|qq|fax]\n"
    "                  [--mark TEXT] [--page N] KEYWORD\n"
    "  brivano-cli extract --kind mobile|email|qq|fax [--dedup]\n"
    "                  [--encoding auto|gbk|utf-8] [--threads N] [FILE...]\n"
    "  brivano-cli merge -o OUT FILE...\n"
    "  brivano-cli keywords CITIES TRADES [-o OUT]\n"
    "  brivano-cli export --format csv|xlsx|txt [--kind K] [--run ID|--since DATE]\n"
    "                  [--db PATH] -o FILE\n";

using Command = int (*)(brivano::cli::Arguments&);

const std::map<std::string, Command>& Commands() {
  static const std::map<std::string, Command> commands{
      {"url", &brivano::cli::RunUrlCommand},
      {"extract", &brivano::cli::RunExtractCommand},
      {"merge", &brivano::cli::RunMergeCommand},
      {"keywords", &brivano::cli::RunKeywordsCommand},
      {"export", &brivano::cli::RunExportCommand},
  };
  return commands;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace brivano::cli;
  if (argc < 2) {
    std::fputs(kUsageText, stderr);
    return ExitCode::kUsage;
  }
  const auto command = Commands().find(argv[1]);
  if (command == Commands().end()) {
    std::fprintf(stderr, "brivano-cli: unknown command %s\n%s", argv[1], kUsageText);
    return ExitCode::kUsage;
  }
  try {
    Arguments args(std::span<char* const>(argv + 2, static_cast<std::size_t>(argc - 2)));
    return command->second(args);
  } catch (const UsageError& error) {
    std::fprintf(stderr, "brivano-cli: %s\n%s", error.message.c_str(), kUsageText);
    return ExitCode::kUsage;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return ExitCode::kFailed;
  }
}
