// brivano-cli merge: the 合并 command over files named on the command line.
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/cli_common.h"
#include "files/merge.h"

namespace brivano::cli {

int RunMergeCommand(Arguments& args) {
  const std::optional<std::string> output = args.Option("-o");
  if (!output) throw UsageError{"merge 需要 -o OUT"};
  const std::vector<std::string> names = args.Positionals();
  if (names.empty()) throw UsageError{"merge 至少需要一个 FILE"};
  std::vector<std::filesystem::path> inputs;
  for (const std::string& name : names) inputs.emplace_back(FileName(name));
  RefuseOutputClash(FileName(*output), inputs);

  const MergeOutcome outcome = MergeFiles(inputs, *output);
  // A failure is no completion: only the error is shown.
  if (!outcome.ok()) throw std::runtime_error(outcome.error);
  Print(MergeFinishedText(outcome.distinctLines) + "\n");
  return kSuccess;
}

}  // namespace brivano::cli
