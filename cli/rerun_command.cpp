// brivano-cli rerun: the keywords of a run that are to be run again, because
// their pages did not load or met a verification page, one a line:
// "2<TAB>深圳 旅行社<TAB>第1页 failed".
#include <filesystem>
#include <stdexcept>
#include <string>

#include "base/text.h"
#include "cli/cli_common.h"
#include "store/harvest_store.h"

namespace brivano::cli {

int RunRerunCommand(Arguments& args) {
  const std::optional<std::string> run = args.Option("--run");
  const std::int64_t runId = run ? DecimalArgument("--run", *run, 1) : 0;
  const std::optional<std::string> dbOption = args.Option("--db");
  if (!args.Positionals().empty()) throw UsageError{"rerun 不接受 FILE 参数"};
  const std::unique_ptr<HarvestStore> store = OpenExistingStore(StorePath(dbOption));
  if (run) RequireRun(*store, runId);
  for (const KeywordToRunAgain& keyword : store->KeywordsToRunAgain(runId)) {
    Print(std::to_string(keyword.keywordLine) + "\t");
    PrintGbk(keyword.keyword);
    Print("\t第" + std::to_string(keyword.page) + "页 " + keyword.outcome + "\n");
  }
  FinishOutput();
  return kSuccess;
}

}  // namespace brivano::cli
