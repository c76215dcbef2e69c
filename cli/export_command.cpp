// brivano-cli export: the harvest store's items, or a part of them, to a CSV
// file, an Excel workbook or a result file.
#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

#include "base/contact_kind.h"
#include "cli/cli_common.h"
#include "store/exports.h"
#include "store/harvest_store.h"

namespace brivano::cli {
namespace {

bool Digits(std::string_view text, std::size_t at, std::size_t count, int& value) {
  value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (i >= text.size() || text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

// "2026-12-07", a day of the calendar, optionally followed by a time of that
// day, "T13:17:48" with or without "Z": the store's times compare as text, so
// anything else would silently select the wrong items, or none.
bool IsIsoDate(std::string_view text) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  if (text.size() < 10 || text[4] != '-' || text[7] != '-' || !Digits(text, 0, 4, year) ||
      !Digits(text, 5, 2, month) || !Digits(text, 8, 2, day)) {
    return false;
  }
  const std::chrono::year_month_day date{std::chrono::year(year),
                                         std::chrono::month(static_cast<unsigned>(month)),
                                         std::chrono::day(static_cast<unsigned>(day))};
  if (!date.ok()) return false;
  if (text.size() == 10) return true;
  const std::string_view time = text.substr(10);
  return (time.size() == 9 || (time.size() == 10 && time.back() == 'Z')) && time[0] == 'T' &&
         time[3] == ':' && time[6] == ':' && Digits(time, 1, 2, hour) && hour < 24 &&
         Digits(time, 4, 2, minute) && minute < 60 && Digits(time, 7, 2, second) && second < 60;
}

}  // namespace

int RunExportCommand(Arguments& args) {
  const std::optional<std::string> formatName = args.Option("--format");
  if (!formatName) throw UsageError{"export 需要 --format"};
  const std::optional<ExportFormat> format = ExportFormatFromName(*formatName);
  if (!format) throw UnknownValue("格式", *formatName);
  const std::optional<std::string> output = args.Option("-o");
  if (!output) throw UsageError{"export 需要 -o FILE"};

  ItemFilter filter;
  if (auto kindName = args.Option("--kind")) {
    filter.kind = ContactKindFromCliName(*kindName);
    if (!filter.kind) throw UnknownValue("类型", *kindName);
  }
  const std::optional<std::string> run = args.Option("--run");
  const std::optional<std::string> since = args.Option("--since");
  if (run && since) throw UsageError{"export 的 --run 与 --since 只能给一个"};
  if (run) filter.runId = DecimalArgument("--run", *run, 1);
  if (since) {
    if (!IsIsoDate(*since))
      throw UsageError{"--since 需要日期，如 2026-12-01 或 2026-12-01T08:00:00Z"};
    filter.sinceUtc = *since;
  }
  const std::optional<std::string> dbOption = args.Option("--db");
  if (!args.Positionals().empty()) throw UsageError{"export 不接受 FILE 参数"};
  const std::filesystem::path db = StorePath(dbOption);
  RefuseOutputClash(*output, {}, db);
  const std::unique_ptr<HarvestStore> store = OpenExistingStore(db);
  if (filter.runId) RequireRun(*store, *filter.runId);
  const ExportOutcome outcome = WriteExport(*format, *output, StoreExportSource(*store, filter));
  if (!outcome.ok()) throw std::runtime_error(outcome.error);
  Print("已导出 " + std::to_string(outcome.rows) + " 条。\n");
  if (outcome.cutCells > 0) {
    Print(std::to_string(outcome.cutCells) + " 个单元格超过 Excel 的 " +
          std::to_string(kXlsxCellCharacters) + " 字符上限，已截断。\n");
  }
  return kSuccess;
}

}  // namespace brivano::cli
