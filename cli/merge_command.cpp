// brivano-cli merge: the 合并 command over files named on the command line.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli_common.h"
#include "files/merge.h"

namespace brivano::cli {

int RunMergeCommand(Arguments& args) {
  const std::optional<std::string> output = args.Option("-o");
  if (!output) throw UsageError{"merge needs -o OUT"};
  const std::vector<std::string> names = args.Positionals();
  if (names.empty()) throw UsageError{"merge needs at least one FILE"};
  const std::vector<std::filesystem::path> inputs(names.begin(), names.end());

  const MergeOutcome outcome = MergeFiles(inputs, *output);
  // The completion text stands also after a failure, as in the window.
  std::printf("%s\n", MergeFinishedText(outcome.distinctLines).c_str());
  if (!outcome.ok()) {
    std::fprintf(stderr, "%s\n", outcome.error.c_str());
    return kFailed;
  }
  return kSuccess;
}

}  // namespace brivano::cli
