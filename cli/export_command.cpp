// brivano-cli export: the harvest store's items, or a part of them, to a CSV
// file, an Excel workbook or a result file.
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "base/contact_kind.h"
#include "base/integer_text.h"
#include "cli/cli_common.h"
#include "files/program_files.h"
#include "store/exports.h"
#include "store/harvest_store.h"

namespace brivano::cli {
namespace {

// "2026-12-07", or a longer ISO 8601 time that starts with such a date.
bool IsIsoDate(const std::string& text) {
  if (text.size() < 10 || text[4] != '-' || text[7] != '-') return false;
  for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  return text.size() == 10 || text[10] == 'T';
}

}  // namespace

int RunExportCommand(Arguments& args) {
  const std::optional<std::string> formatName = args.Option("--format");
  if (!formatName) throw UsageError{"export needs --format"};
  const std::optional<ExportFormat> format = ExportFormatFromName(*formatName);
  if (!format) throw UsageError{"unknown format " + *formatName};
  const std::optional<std::string> output = args.Option("-o");
  if (!output) throw UsageError{"export needs -o FILE"};

  ItemFilter filter;
  if (auto kindName = args.Option("--kind")) {
    filter.kind = ContactKindFromCliName(*kindName);
    if (!filter.kind) throw UsageError{"unknown kind " + *kindName};
  }
  const std::optional<std::string> run = args.Option("--run");
  const std::optional<std::string> since = args.Option("--since");
  if (run && since) throw UsageError{"export takes --run or --since, not both"};
  if (run) {
    const std::optional<std::int32_t> id = ParseIntegerText(*run);
    if (!id || *id < 1) throw UsageError{"--run needs a run number of 1 or more"};
    filter.runId = *id;
  }
  if (since) {
    if (!IsIsoDate(*since)) throw UsageError{"--since needs a date such as 2026-12-01"};
    filter.sinceUtc = *since;
  }
  const std::optional<std::string> dbOption = args.Option("--db");
  if (!args.Positionals().empty()) throw UsageError{"export takes no FILE"};
  const std::unique_ptr<HarvestStore> store = OpenExistingStore(dbOption);
  const ExportOutcome outcome = WriteExport(*format, *output, StoreExportSource(*store, filter));
  if (!outcome.ok()) throw std::runtime_error(outcome.error);
  std::printf("已导出 %zu 条。\n", outcome.rows);
  if (outcome.cutCells > 0) {
    std::printf("%zu 个单元格超过 Excel 的 %zu 字符上限，已截断。\n", outcome.cutCells,
                kXlsxCellCharacters);
  }
  return kSuccess;
}

}  // namespace brivano::cli
