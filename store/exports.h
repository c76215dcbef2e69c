// Exports of harvested values with their provenance: a CSV file for Excel
// (UTF-8 with byte-order mark, RFC 4180 quoting), an Excel workbook, and the
// program's plain result file (one GBK value a line, CR LF). Every file is
// written through the atomic file writer, so a failed export never damages a
// file that stood before. The store's UTC times go out on the machine's
// clock: "2026-12-08 01:42:11" in the CSV file, a date-time cell in the
// workbook, whose header row carries an autofilter.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "base/buyer_list.h"
#include "store/harvest_store.h"

namespace brivano {

enum class ExportFormat { Txt, Csv, Xlsx };
// "txt", "csv", "xlsx" as brivano-cli names them.
std::optional<ExportFormat> ExportFormatFromName(std::string_view name);

// Feeds every row of an export to `visit`, in order; may be walked once.
using ExportVisit = std::function<void(const ContactValue&)>;
using ExportSource = std::function<void(const ExportVisit& visit)>;

// The items of a store that match `filter`.
ExportSource StoreExportSource(HarvestStore& store, ItemFilter filter);
// A run's buyer list, each value with the page it came from: the window's
// 保存 and brivano-run's --out both export this.
ExportSource BuyerListExportSource(const BuyerList& list);

// The header of the CSV file and of the workbook, UTF-8. The result a value
// stood in comes after the first seven, which stay where they were; last the
// title of the site page a value was found on (empty for a results page),
// whose address is then the 来源网址.
inline constexpr std::string_view kExportColumns[] = {
    "联系方式", "类型", "关键词", "搜索引擎", "页码",     "来源网址",
    "时间",     "公司", "标题",   "网站",     "目标网址", "来源标题"};

// Excel's limit on the characters of one cell.
inline constexpr std::size_t kXlsxCellCharacters = 32767;

struct ExportOutcome {
  std::size_t rows = 0;
  std::size_t cutCells = 0;  // workbook cells cut to Excel's limit
  std::string error;         // the user's text (UTF-8) when it failed
  bool ok() const { return error.empty(); }
};

// The kind as the 类型 column shows it: 手机, 邮箱, QQ, 传真.
std::string KindColumnText(ContactKind kind);

// One CSV text field as RFC 4180 quotes it: in double quotes, doubled inside,
// when it holds a comma, a double quote, CR or LF. A text that begins with
// "=", "+", "-", "@", a tab or CR gets a leading "'" so that Excel shows it
// rather than running it as a formula.
void AppendCsvField(std::string& out, std::string_view utf8);

// Cuts a UTF-8 text to Excel's cell limit; returns whether it was cut.
bool CutToCellLimit(std::string& utf8);

ExportOutcome WriteCsvExport(const std::filesystem::path& path, const ExportSource& source);
ExportOutcome WriteXlsxExport(const std::filesystem::path& path, const ExportSource& source);
// The result file of the 保存 command, byte for byte.
ExportOutcome WriteTxtExport(const std::filesystem::path& path, const ExportSource& source);
ExportOutcome WriteExport(ExportFormat format, const std::filesystem::path& path,
                          const ExportSource& source);

}  // namespace brivano
