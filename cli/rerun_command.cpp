// brivano-cli rerun: the keywords of a run that are to be run again, because
// their pages did not load or met a verification page, one a line:
// "2<TAB>深圳 旅行社<TAB>第1页 failed".
#include <filesystem>
#include <stdexcept>
#include <string>

#include "base/integer_text.h"
#include "base/text.h"
#include "cli/cli_common.h"
#include "files/program_files.h"
#include "store/harvest_store.h"

namespace brivano::cli {

int RunRerunCommand(Arguments& args) {
  std::int64_t runId = 0;
  if (const std::optional<std::string> run = args.Option("--run")) {
    const std::optional<std::int32_t> id = ParseIntegerText(*run);
    if (!id || *id < 1) throw UsageError{"--run needs a run number of 1 or more"};
    runId = *id;
  }
  const std::optional<std::string> dbOption = args.Option("--db");
  if (!args.Positionals().empty()) throw UsageError{"rerun takes no FILE"};
  for (const KeywordToRunAgain& keyword : OpenExistingStore(dbOption)->KeywordsToRunAgain(runId)) {
    Print(std::to_string(keyword.keywordLine) + "\t" + GbkToUtf8(keyword.keyword) + "\t第" +
          std::to_string(keyword.page) + "页 " + keyword.outcome + "\n");
  }
  FinishOutput();
  return kSuccess;
}

}  // namespace brivano::cli
