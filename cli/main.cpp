// brivano-cli: the program's core for scripts and batch work.
#include <cstdio>
#include <exception>
#include <new>
#include <span>
#include <string>
#include <string_view>

#include "base/version.h"
#include "cli/cli_common.h"

namespace {

struct CommandRow {
  std::string_view name;
  int (*run)(brivano::Arguments&);
  const char* usage;
};

constexpr CommandRow kCommands[] = {
    {"url", &brivano::cli::RunUrlCommand,
     "  brivano-cli url --engine baidu|sogou|360|bing [--kind mobile|email|qq|fax]\n"
     "                  [--mark TEXT] [--page N] KEYWORD\n"},
    {"extract", &brivano::cli::RunExtractCommand,
     "  brivano-cli extract --kind mobile|email|qq|fax [--dedup]\n"
     "                  [--encoding auto|gbk|utf-8] [--threads N] [FILE...]\n"},
    {"merge", &brivano::cli::RunMergeCommand, "  brivano-cli merge -o OUT FILE...\n"},
    {"keywords", &brivano::cli::RunKeywordsCommand,
     "  brivano-cli keywords CITIES TRADES [-o OUT] [--encoding auto|gbk|utf-8|utf-16]\n"},
    {"export", &brivano::cli::RunExportCommand,
     "  brivano-cli export --format csv|xlsx|txt [--kind mobile|email|qq|fax]\n"
     "                  [--run ID|--since DATE] [--db PATH] -o FILE\n"},
    {"rerun", &brivano::cli::RunRerunCommand, "  brivano-cli rerun [--run ID] [--db PATH]\n"},
    {"blocks", &brivano::cli::RunBlocksCommand,
     "  brivano-cli blocks --engine baidu|sogou|360|bing FILE\n"},
};

const CommandRow* FindCommand(std::string_view name) {
  for (const CommandRow& row : kCommands) {
    if (row.name == name) return &row;
  }
  return nullptr;
}

// The usage of one command, or of all when `command` is null.
void PrintUsage(std::FILE* stream, const CommandRow* command) {
  std::fputs("usage:\n", stream);
  for (const CommandRow& row : kCommands) {
    if (command == nullptr || command == &row) std::fputs(row.usage, stream);
  }
  if (command == nullptr) {
    std::fputs(
        "  brivano-cli help [COMMAND]\n"
        "Options end at \"--\"; \"-\" as a FILE is standard input.\n"
        "Exit status: 0 done, 1 failed, 2 usage error.\n",
        stream);
  }
}

int Usage(const CommandRow* command, const std::string& message) {
  brivano::cli::PrintError(message);
  PrintUsage(stderr, command);
  return brivano::cli::kUsage;
}

// Help goes to standard output: it is what was asked for.
int Help(const CommandRow* command) {
  PrintUsage(stdout, command);
  return std::fflush(stdout) == 0 ? brivano::cli::kSuccess : brivano::cli::kFailed;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace brivano::cli;
  using brivano::Arguments;
  using brivano::UsageError;
  if (argc < 2) {
    PrintUsage(stderr, nullptr);
    return kUsage;
  }
  const std::string_view first = argv[1];
  if (first == "--help" || first == "-h") return Help(nullptr);
  if (first == "--version") {
    return brivano::PrintVersion("brivano-cli") ? kSuccess : kFailed;
  }
  if (first == "help") {
    if (argc == 2) return Help(nullptr);
    const CommandRow* command = FindCommand(argv[2]);
    if (command == nullptr || argc > 3) {
      return Usage(nullptr,
                   "help 只接受一个命令：url、extract、merge、keywords、export、rerun 或 blocks");
    }
    return Help(command);
  }
  const CommandRow* command = FindCommand(first);
  if (command == nullptr) return Usage(nullptr, "未知命令 " + std::string(first));
  try {
    Arguments args(std::span<char* const>(argv + 2, static_cast<std::size_t>(argc - 2)));
    if (args.WantsHelp()) return Help(command);
    const int status = command->run(args);
    FinishOutput();
    return status;
  } catch (const UsageError& error) {
    return Usage(command, error.message);
  } catch (const std::bad_alloc&) {
    PrintError("内存不足");
    return kFailed;
  } catch (const std::exception& error) {
    PrintError(error.what());
    return kFailed;
  }
}
