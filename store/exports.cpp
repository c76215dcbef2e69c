#include "store/exports.h"

#include <fcntl.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "base/buyer_list.h"
#include "base/local_time.h"
#include "base/text.h"
#include "files/atomic_file.h"
#include "files/file_errors.h"
#include "files/result_files.h"

namespace brivano {
namespace {

// A value whose origin is not known goes out with empty provenance columns
// (page 0).
const PageSource& SourceOf(const ContactValue& item) {
  static const PageSource kUnknown;
  return item.source ? *item.source : kUnknown;
}

// The 来源标题 column: a site page's title; a results page has none to show.
const std::string& SourceTitleOf(const PageSource& from) {
  static const std::string kNone;
  return from.sitePage ? from.pageTitle : kNone;
}

// A value outside every result block goes out with empty result columns.
const ResultOwner& OwnerOf(const ContactValue& item) {
  static const ResultOwner kNone;
  return item.owner ? *item.owner : kNone;
}

// Texts inside the program are GBK; the exports are UTF-8.
void AppendUtf8(std::string& out, std::string_view gbk) {
  if (IsAscii(gbk)) {
    out.append(gbk);
  } else {
    out.append(GbkToUtf8(gbk));
  }
}

std::string ToUtf8(std::string_view gbk) {
  std::string out;
  AppendUtf8(out, gbk);
  return out;
}

// The store's UTC time on the machine's clock, "2026-12-08 01:42:11"; a
// text of another form as it is.
std::string LocalTimeCell(const std::string& utc) {
  const std::optional<LocalTime> local = LocalTimeOfUtc(utc);
  return local ? LocalTimeText(*local) : utc;
}

ExportOutcome Failed(const std::filesystem::path& path, int error) {
  ExportOutcome outcome;
  outcome.error = CannotCreateFileText(path, error);
  return outcome;
}

// The first characters that make Excel read a CSV cell as a formula.
constexpr std::string_view kCsvFormulaStarts = "=+-@\t\r";

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Excel reads "_xHHHH_" in a cell as the character HHHH; libxlsxwriter writes
// control characters that way. A value that holds such text itself gets its
// "_" written as "_x005F_" so that it reads back as it was.
std::string EscapeXlsxText(std::string text) {
  for (std::size_t at = text.find("_x"); at != std::string::npos; at = text.find("_x", at + 1)) {
    if (at + 7 <= text.size() && text[at + 6] == '_' &&
        std::all_of(text.begin() + static_cast<std::ptrdiff_t>(at) + 2,
                    text.begin() + static_cast<std::ptrdiff_t>(at) + 6, IsHexDigit)) {
      text.replace(at, 1, "_x005F_");
      at += 6;
    }
  }
  return text;
}

// A temporary folder for libxlsxwriter's work files and its output, removed
// with everything in it.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "brivano-xlsx-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// What went wrong in libxlsxwriter, in the user's words.
std::string XlsxErrorText(lxw_error error) {
  switch (error) {
    case LXW_ERROR_MEMORY_MALLOC_FAILED:
      return "内存不足";
    case LXW_ERROR_CREATING_XLSX_FILE:
    case LXW_ERROR_CREATING_TMPFILE:
    case LXW_ERROR_READING_TMPFILE:
      return "无法读写临时文件";
    case LXW_ERROR_ZIP_FILE_OPERATION:
    case LXW_ERROR_ZIP_PARAMETER_ERROR:
    case LXW_ERROR_ZIP_BAD_ZIP_FILE:
    case LXW_ERROR_ZIP_INTERNAL_ERROR:
    case LXW_ERROR_ZIP_FILE_ADD:
    case LXW_ERROR_ZIP_CLOSE:
      return "无法压缩工作簿";
    default:
      return "生成工作簿出错（libxlsxwriter 错误 " + std::to_string(static_cast<int>(error)) + "）";
  }
}

// Copies a finished file to `target` through the atomic writer.
FileResult CopyAtomically(const std::filesystem::path& from, const std::filesystem::path& target) {
  const int fd = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return FileResult{errno};
  AtomicFileWriter writer(target);
  std::string buffer(1 << 20, '\0');
  int readError = 0;
  for (;;) {
    const ssize_t got = ::read(fd, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) readError = errno;
    if (got <= 0) break;
    writer.Write(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
  }
  ::close(fd);
  if (readError != 0) return FileResult{readError};
  return writer.Commit();
}

}  // namespace

std::optional<ExportFormat> ExportFormatFromName(std::string_view name) {
  if (name == "txt") return ExportFormat::Txt;
  if (name == "csv") return ExportFormat::Csv;
  if (name == "xlsx") return ExportFormat::Xlsx;
  return std::nullopt;
}

ExportSource StoreExportSource(HarvestStore& store, ItemFilter filter) {
  return [&store, filter = std::move(filter)](const ExportVisit& visit) {
    store.ForEachItem(filter, visit);
  };
}

ExportSource BuyerListExportSource(const BuyerList& list) {
  return [&list](const ExportVisit& visit) {
    for (const ContactValue& item : list.items()) visit(item);
  };
}

std::string KindColumnText(ContactKind kind) {
  std::string_view mark = InfoOf(kind).defaultMark;
  if (mark.ends_with(':')) mark.remove_suffix(1);
  return std::string(mark);
}

void AppendCsvField(std::string& out, std::string_view utf8) {
  // Excel runs a cell that starts like a formula ("=HYPERLINK(...)", "+1+2",
  // "@SUM(...)"), and keywords and page texts are anyone's: a leading
  // apostrophe makes it text, shown as it was.
  const bool formula =
      !utf8.empty() && kCsvFormulaStarts.find(utf8.front()) != std::string_view::npos;
  const bool quoted = utf8.find_first_of(",\"\r\n") != std::string_view::npos;
  if (quoted) out.push_back('"');
  if (formula) out.push_back('\'');
  for (char c : utf8) {
    if (quoted && c == '"') out.push_back('"');
    out.push_back(c);
  }
  if (quoted) out.push_back('"');
}

bool CutToCellLimit(std::string& utf8) {
  std::size_t characters = 0;
  for (std::size_t at = 0; at < utf8.size(); ++at) {
    if ((static_cast<unsigned char>(utf8[at]) & 0xC0) == 0x80) continue;  // continuation
    if (++characters > kXlsxCellCharacters) {
      utf8.resize(at);
      return true;
    }
  }
  return false;
}

ExportOutcome WriteCsvExport(const std::filesystem::path& path, const ExportSource& source) {
  ExportOutcome outcome;
  AtomicFileWriter writer(path);
  std::string line = "\xEF\xBB\xBF";
  for (std::size_t i = 0; i < std::size(kExportColumns); ++i) {
    if (i > 0) line.push_back(',');
    AppendCsvField(line, kExportColumns[i]);
  }
  line.append("\r\n");
  writer.Write(line);
  const std::string kindTexts[] = {
      KindColumnText(ContactKind::Mobile), KindColumnText(ContactKind::Email),
      KindColumnText(ContactKind::QQ), KindColumnText(ContactKind::Fax)};
  std::string field;
  // A GBK text of the store as a UTF-8 field, then its comma.
  auto addGbk = [&](std::string_view gbk) {
    field.clear();
    AppendUtf8(field, gbk);
    AppendCsvField(line, field);
    line.push_back(',');
  };
  source([&](const ContactValue& item) {
    const PageSource& from = SourceOf(item);
    line.clear();
    addGbk(item.value);
    line.append(kindTexts[static_cast<int>(item.kind)]);
    line.push_back(',');
    addGbk(from.keyword);
    AppendCsvField(line, from.engine);
    line.push_back(',');
    line.append(std::to_string(from.page));
    line.push_back(',');
    addGbk(from.pageUrl);
    AppendCsvField(line, LocalTimeCell(from.timeUtc));
    line.push_back(',');
    const ResultOwner& owner = OwnerOf(item);
    addGbk(owner.company);
    addGbk(owner.title);
    addGbk(owner.site);
    addGbk(owner.target);
    field.clear();
    AppendUtf8(field, SourceTitleOf(from));
    AppendCsvField(line, field);
    line.append("\r\n");
    writer.Write(line);
    ++outcome.rows;
  });
  const FileResult result = writer.Commit();
  if (!result.ok()) return Failed(path, result.error);
  return outcome;
}

ExportOutcome WriteXlsxExport(const std::filesystem::path& path, const ExportSource& source) {
  ExportOutcome outcome;
  // libxlsxwriter writes to a file name of its own; the finished workbook is
  // then copied over the target through the atomic writer.
  const TempFolder work;
  if (work.path().empty()) return Failed(path, errno);
  const std::filesystem::path built = work.path() / "export.xlsx";
  std::string tmpdir = work.path().string();
  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  options.tmpdir = tmpdir.data();
  options.use_zip64 = LXW_TRUE;
  lxw_workbook* workbook = workbook_new_opt(built.c_str(), &options);
  if (workbook == nullptr) return Failed(path, errno != 0 ? errno : EIO);

  lxw_format* bold = workbook_add_format(workbook);
  format_set_bold(bold);
  // A real date and time, which Excel sorts and filters as one.
  lxw_format* dateTime = workbook_add_format(workbook);
  format_set_num_format(dateTime, "yyyy-mm-dd hh:mm:ss");
  // Widths in characters: wide enough for a mobile number, an address, a
  // keyword line, "2026-12-08 01:42:11"; the address column the widest.
  constexpr double kWidths[] = {28, 8, 24, 10, 6, 60, 20, 30, 40, 24, 60, 40};
  static_assert(std::size(kWidths) == std::size(kExportColumns));
  constexpr lxw_col_t kLastColumn = std::size(kWidths) - 1;
  // A sheet holds 1,048,576 rows; longer exports go on to further sheets.
  constexpr lxw_row_t kRowsPerSheet = 1048576;
  lxw_worksheet* sheet = nullptr;
  lxw_row_t row = kRowsPerSheet;
  int sheets = 0;
  lxw_error failure = LXW_NO_ERROR;
  const std::string kindTexts[] = {
      KindColumnText(ContactKind::Mobile), KindColumnText(ContactKind::Email),
      KindColumnText(ContactKind::QQ), KindColumnText(ContactKind::Fax)};
  auto writeText = [&](lxw_col_t column, std::string text) {
    if (CutToCellLimit(text)) ++outcome.cutCells;
    const lxw_error error = worksheet_write_string(
        sheet, row, column, EscapeXlsxText(std::move(text)).c_str(), nullptr);
    if (error != LXW_NO_ERROR && failure == LXW_NO_ERROR) failure = error;
  };
  // The header row filters the rows below it, those of its own sheet.
  auto finishSheet = [&] {
    if (sheet == nullptr) return;
    const lxw_error error = worksheet_autofilter(sheet, 0, 0, row - 1, kLastColumn);
    if (error != LXW_NO_ERROR && failure == LXW_NO_ERROR) failure = error;
  };
  auto writeTime = [&](lxw_col_t column, const std::string& utc) {
    const std::optional<LocalTime> local = LocalTimeOfUtc(utc);
    if (!local) {
      writeText(column, utc);
      return;
    }
    lxw_datetime cell{local->year, local->month,  local->day,
                      local->hour, local->minute, static_cast<double>(local->second)};
    const lxw_error error = worksheet_write_datetime(sheet, row, column, &cell, dateTime);
    if (error != LXW_NO_ERROR && failure == LXW_NO_ERROR) failure = error;
  };
  auto addSheet = [&] {
    finishSheet();
    ++sheets;
    const std::string name = "联系方式" + (sheets == 1 ? std::string() : std::to_string(sheets));
    sheet = workbook_add_worksheet(workbook, name.c_str());
    for (lxw_col_t c = 0; c < std::size(kWidths); ++c) {
      worksheet_set_column(sheet, c, c, kWidths[c], nullptr);
      worksheet_write_string(sheet, 0, c, std::string(kExportColumns[c]).c_str(), bold);
    }
    worksheet_freeze_panes(sheet, 1, 0);
    row = 1;
  };
  auto writeRow = [&](const ContactValue& item) {
    if (row == kRowsPerSheet) addSheet();
    const PageSource& from = SourceOf(item);
    writeText(0, ToUtf8(item.value));
    writeText(1, kindTexts[static_cast<int>(item.kind)]);
    writeText(2, ToUtf8(from.keyword));
    writeText(3, from.engine);
    worksheet_write_number(sheet, row, 4, from.page, nullptr);
    writeText(5, ToUtf8(from.pageUrl));
    writeTime(6, from.timeUtc);
    const ResultOwner& owner = OwnerOf(item);
    writeText(7, ToUtf8(owner.company));
    writeText(8, ToUtf8(owner.title));
    writeText(9, ToUtf8(owner.site));
    writeText(10, ToUtf8(owner.target));
    writeText(11, ToUtf8(SourceTitleOf(from)));
    ++row;
    ++outcome.rows;
  };
  try {
    source(writeRow);
  } catch (...) {
    // A store that fails while being read: the workbook is dropped unwritten.
    lxw_workbook_free(workbook);
    throw;
  }
  if (sheet == nullptr) addSheet();  // no rows: the header alone
  finishSheet();
  const lxw_error closed = workbook_close(workbook);
  if (failure == LXW_NO_ERROR) failure = closed;
  if (failure != LXW_NO_ERROR) {
    outcome.error = UnableToWriteText(path) + "：" + XlsxErrorText(failure);
    return outcome;
  }
  const FileResult copied = CopyAtomically(built, path);
  if (!copied.ok()) return Failed(path, copied.error);
  return outcome;
}

ExportOutcome WriteTxtExport(const std::filesystem::path& path, const ExportSource& source) {
  // The result file is the buyer list's format; the rows become a list, in
  // order and without de-duplication, for the one writer of that format.
  ExportOutcome outcome;
  BuyerList list;
  source([&](const ContactValue& item) {
    list.Append(item);
    ++outcome.rows;
  });
  const FileResult result = WriteResultFile(path, list);
  if (!result.ok()) return Failed(path, result.error);
  return outcome;
}

ExportOutcome WriteExport(ExportFormat format, const std::filesystem::path& path,
                          const ExportSource& source) {
  switch (format) {
    case ExportFormat::Txt:
      return WriteTxtExport(path, source);
    case ExportFormat::Csv:
      return WriteCsvExport(path, source);
    case ExportFormat::Xlsx:
      return WriteXlsxExport(path, source);
  }
  return WriteTxtExport(path, source);
}

}  // namespace brivano
