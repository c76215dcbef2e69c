// Exports read back: the CSV file and the workbook by Python's standard
// library (csv, zipfile, ElementTree), the result file byte for byte, and
// brivano-cli export over a store.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <random>

#include "base/text.h"
#include "files/result_files.h"
#include "store/exports.h"
#include "testing/cli_runner.h"
#include "testing/store_pages.h"

namespace brivano::testing {
namespace {

// Prints every row of a CSV or XLSX file: the cells as hex of their UTF-8,
// separated by spaces. For a workbook, first "frozen", "widths", "filter",
// "dates" and "bold" lines tell whether the header row is frozen, how many
// columns have a width, the autofilter's range, how many cells are numbers
// that their style shows as a date and time, and whether the header is
// bold; such a cell reads as "2026-12-08 01:42:11", any other number as an
// integer.
constexpr const char* kReader = R"PY(
import csv, datetime, io, re, sys, zipfile
import xml.etree.ElementTree as ET
path = sys.argv[1]
def emit(cells):
    print(" ".join(c.encode("utf-8").hex() or "-" for c in cells))
if path.endswith(".csv"):
    raw = open(path, "rb").read()
    print("bom" if raw.startswith(b"\xef\xbb\xbf") else "nobom")
    text = raw.decode("utf-8-sig")
    for row in csv.reader(io.StringIO(text, newline="")):
        emit(row)
    sys.exit(0)
ns = {"m": "http://schemas.openxmlformats.org/spreadsheetml/2006/main"}
z = zipfile.ZipFile(path)
def unescape(s):
    return re.sub(r"_x([0-9A-Fa-f]{4})_", lambda m: chr(int(m.group(1), 16)), s)
shared = []
if "xl/sharedStrings.xml" in z.namelist():
    for si in ET.fromstring(z.read("xl/sharedStrings.xml")).findall("m:si", ns):
        shared.append(unescape("".join(t.text or "" for t in si.iter("{%s}t" % ns["m"]))))
styles = ET.fromstring(z.read("xl/styles.xml"))
fonts = styles.findall("m:fonts/m:font", ns)
xfs = styles.findall("m:cellXfs/m:xf", ns)
formats = {n.get("numFmtId"): n.get("formatCode") for n in styles.findall("m:numFmts/m:numFmt", ns)}
def date_time(c):
    return formats.get(xfs[int(c.get("s", "0"))].get("numFmtId")) == "yyyy-mm-dd hh:mm:ss"
def bold(c):
    xf = xfs[int(c.get("s", "0"))]
    return fonts[int(xf.get("fontId", "0"))].find("m:b", ns) is not None
sheet = ET.fromstring(z.read("xl/worksheets/sheet1.xml"))
pane = sheet.find("m:sheetViews/m:sheetView/m:pane", ns)
print("frozen", int(pane is not None and pane.get("state") == "frozen" and pane.get("ySplit") == "1"))
print("widths", len(sheet.findall("m:cols/m:col[@width]", ns)))
autofilter = sheet.find("m:autoFilter", ns)
print("filter", autofilter.get("ref") if autofilter is not None else "none")
print("dates", sum(1 for c in sheet.iter("{%s}c" % ns["m"]) if c.get("t") is None and date_time(c)))
rows = sheet.findall("m:sheetData/m:row", ns)
print("bold", int(all(bold(c) for c in rows[0])) if rows else 0)
for row in rows:
    cells = []
    for c in row.findall("m:c", ns):
        column = ord(re.match("[A-Z]", c.get("r")).group(0)) - ord("A")
        cells += [""] * (column - len(cells))  # an empty text is written as no cell
        t = c.get("t")
        if t == "inlineStr":
            cells.append(unescape("".join(x.text or "" for x in c.iter("{%s}t" % ns["m"]))))
        elif t == "s":
            cells.append(shared[int(c.find("m:v", ns).text)])
        elif date_time(c):
            days = float(c.find("m:v", ns).text)
            when = datetime.datetime(1899, 12, 30) + datetime.timedelta(seconds=round(days * 86400))
            cells.append(when.strftime("%Y-%m-%d %H:%M:%S"))
        else:
            v = c.find("m:v", ns).text
            cells.append(str(int(float(v))))
    emit(cells + [""] * (7 - len(cells)))
)PY";

std::vector<std::string> SplitOn(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + 1) {
    parts.push_back(text.substr(start, at - start));
  }
  if (start < text.size()) parts.push_back(text.substr(start));
  return parts;
}

std::string FromHex(const std::string& hex) {
  if (hex == "-") return "";
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

struct ReadBack {
  std::vector<std::string> notes;  // the reader's lines before the rows
  std::vector<std::vector<std::string>> rows;
};

ReadBack ReadWithPython(const TempDir& dir, const std::filesystem::path& file, int notes) {
  const auto script = dir.Write("reader.py", kReader);
  const std::string command = "python3 " + ShellQuote(script) + " " + ShellQuote(file);
  ReadBack result;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  std::string out;
  char buffer[65536];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
    out.append(buffer, got);
  }
  EXPECT_EQ(::pclose(pipe), 0) << out;
  for (const std::string& line : SplitOn(out, '\n')) {
    if (static_cast<int>(result.notes.size()) < notes) {
      result.notes.push_back(line);
      continue;
    }
    std::vector<std::string> cells;
    for (const std::string& hex : SplitOn(line, ' ')) cells.push_back(FromHex(hex));
    result.rows.push_back(cells);
  }
  return result;
}

// The store's times are UTC; the exports show them on the clock of the time
// zone that TZ names, here for as long as the object lives.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    if (const char* former = std::getenv("TZ")) former_ = former;
    ::setenv("TZ", zone, 1);
    ::tzset();
  }
  ~ScopedTimeZone() {
    if (former_) {
      ::setenv("TZ", former_->c_str(), 1);
    } else {
      ::unsetenv("TZ");
    }
    ::tzset();
  }
  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

 private:
  std::optional<std::string> former_;
};

constexpr const char* kTimeUtc = "2026-12-07T13:17:48Z";
constexpr const char* kTimeInShanghai = "2026-12-07 21:17:48";

ContactValue Item(std::string value, ContactKind kind, std::string keywordUtf8, std::int32_t page,
                  std::string timeUtc = kTimeUtc, std::string pageUrl = {}) {
  if (pageUrl.empty()) {
    pageUrl = "https://www.baidu.com/s?wd=a,b&pn=" + std::to_string(page * 10 - 10);
  }
  return {std::move(value), kind,
          std::make_shared<const PageSource>(PageSource{.keyword = Utf8ToGbk(keywordUtf8),
                                                        .engine = "baidu",
                                                        .page = page,
                                                        .pageUrl = std::move(pageUrl),
                                                        .timeUtc = std::move(timeUtc)})};
}

// Values an export must carry: every GBK character, quotes, commas and line
// breaks, NUL-free junk, 4096-byte values.
std::vector<ContactValue> OddItems() {
  std::vector<ContactValue> items;
  items.push_back(Item("13800000001", ContactKind::Mobile, "深圳 钢材", 1));
  items.push_back(Item("a\"b,c\r\nd\ne", ContactKind::Email, "引号\"与,逗号", 2));
  items.push_back(Item("_x0041_ stays", ContactKind::QQ, "", 3));
  items.back().owner = std::make_shared<const ResultOwner>(
      ResultOwner{Utf8ToGbk("=标题,\"引号\""), Utf8ToGbk("深圳市甲乙有限公司"), "www.jy.cn",
                  "http://jy.cn/?a=1&b=2"});
  // Found on the result's own site: its page and that page's title.
  items.push_back(Item("a@jy.cn", ContactKind::Email, "k", 3, kTimeUtc, "http://jy.cn/lx.html"));
  PageSource site = *items.back().source;
  site.sitePage = true;
  site.pageTitle = Utf8ToGbk("=联系,\"我们\"");
  items.back().source = std::make_shared<const PageSource>(std::move(site));
  std::string gbk;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      gbk.push_back(static_cast<char>(lead));
      gbk.push_back(static_cast<char>(trail));
    }
  }
  for (std::size_t at = 0; at < gbk.size(); at += 4096) {
    items.push_back(Item(gbk.substr(at, 4096), ContactKind::Fax, "全部字符", 4));
  }
  std::mt19937 random(7);
  for (int i = 0; i < 8; ++i) {
    std::string junk(4096, '\0');
    for (char& c : junk) c = static_cast<char>(1 + random() % 255);
    items.push_back(Item(junk, ContactKind::Email, "乱码", 5));
  }
  return items;
}

ExportSource SourceOf(const std::vector<ContactValue>& items) {
  return [&items](const ExportVisit& visit) {
    for (const ContactValue& item : items) visit(item);
  };
}

// What a reader of the UTF-8 formats gets for an item: the GBK texts
// converted (a byte sequence that is no GBK character reads as "?"), and in
// a CSV file an apostrophe before a text that Excel would run; the time in
// Shanghai's.
std::vector<std::string> ExpectedRow(const ContactValue& item, ExportFormat format) {
  const PageSource& from = *item.source;
  std::vector<std::string> row = {
      GbkToUtf8(item.value),     KindColumnText(item.kind), GbkToUtf8(from.keyword), from.engine,
      std::to_string(from.page), GbkToUtf8(from.pageUrl),   kTimeInShanghai};
  const ResultOwner none;
  const ResultOwner& owner = item.owner ? *item.owner : none;
  for (const std::string* gbk : {&owner.company, &owner.title, &owner.site, &owner.target}) {
    row.push_back(GbkToUtf8(*gbk));
  }
  row.push_back(from.sitePage ? GbkToUtf8(from.pageTitle) : "");
  // A workbook leaves an empty cell blank, and a row ends at its last value.
  while (format == ExportFormat::Xlsx && row.back().empty()) row.pop_back();
  for (std::string& cell : row) {
    if (format == ExportFormat::Csv && !cell.empty() &&
        std::string_view("=+-@\t\r").find(cell[0]) != std::string_view::npos) {
      cell.insert(0, "'");
    }
  }
  return row;
}

std::vector<std::string> Header() {
  return {std::begin(kExportColumns), std::end(kExportColumns)};
}

TEST(Exports, CsvAndWorkbookReadBackCellForCell) {
  const ScopedTimeZone shanghai("Asia/Shanghai");
  const std::vector<ContactValue> items = OddItems();
  TempDir dir;
  struct Case {
    ExportFormat format;
    std::string name;
    std::vector<std::string> notes;
  } cases[] = {
      {ExportFormat::Csv, "out.csv", {"bom"}},
      {ExportFormat::Xlsx,
       "out.xlsx",
       {"frozen 1", "widths 12", "filter A1:L" + std::to_string(items.size() + 1),
        "dates " + std::to_string(items.size()), "bold 1"}},
  };
  for (const Case& c : cases) {
    const auto path = dir.path() / c.name;
    const ExportOutcome outcome = WriteExport(c.format, path, SourceOf(items));
    ASSERT_TRUE(outcome.ok()) << outcome.error;
    EXPECT_EQ(outcome.rows, items.size());
    EXPECT_EQ(outcome.cutCells, 0u);
    const ReadBack back = ReadWithPython(dir, path, static_cast<int>(c.notes.size()));
    EXPECT_EQ(back.notes, c.notes) << c.name;
    ASSERT_EQ(back.rows.size(), items.size() + 1) << c.name;
    EXPECT_EQ(back.rows[0], Header()) << c.name;
    for (std::size_t i = 0; i < items.size(); ++i) {
      EXPECT_EQ(back.rows[i + 1], ExpectedRow(items[i], c.format)) << c.name << " row " << i + 1;
    }
  }
}

TEST(Exports, CsvQuotesOnlyWhereRfc4180Needs) {
  const ScopedTimeZone shanghai("Asia/Shanghai");
  std::vector<ContactValue> items = {
      Item("a\"b,c", ContactKind::Email, "k", 2), Item("x@y.cn", ContactKind::Email, "k", 2),
      Item("a@jy.cn", ContactKind::Email, "k", 2, kTimeUtc, "http://jy.cn/lx.html")};
  items[1].owner = std::make_shared<const ResultOwner>(ResultOwner{
      Utf8ToGbk("甲,乙"), Utf8ToGbk("深圳市甲乙有限公司"), "www.jy.cn", "http://jy.cn/"});
  items[2].owner = items[1].owner;
  PageSource site = *items[2].source;
  site.sitePage = true;
  site.pageTitle = Utf8ToGbk("联系我们,甲乙");
  items[2].source = std::make_shared<const PageSource>(std::move(site));
  TempDir dir;
  const auto path = dir.path() / "q.csv";
  ASSERT_TRUE(WriteCsvExport(path, SourceOf(items)).ok());
  // The first seven columns are as they always were; the result a value
  // stood in follows, empty for a value outside every result, and last the
  // title of the site page a value was found on.
  EXPECT_EQ(ReadFileBytes(path),
            "\xEF\xBB\xBF联系方式,类型,关键词,搜索引擎,页码,来源网址,时间,公司,标题,网站,"
            "目标网址,来源标题\r\n"
            "\"a\"\"b,c\",邮箱,k,baidu,2,\"https://www.baidu.com/s?wd=a,b&pn=10\","
            "2026-12-07 21:17:48,,,,,\r\n"
            "x@y.cn,邮箱,k,baidu,2,\"https://www.baidu.com/s?wd=a,b&pn=10\","
            "2026-12-07 21:17:48,深圳市甲乙有限公司,\"甲,乙\",www.jy.cn,http://jy.cn/,\r\n"
            "a@jy.cn,邮箱,k,baidu,2,http://jy.cn/lx.html,2026-12-07 21:17:48,"
            "深圳市甲乙有限公司,\"甲,乙\",www.jy.cn,http://jy.cn/,\"联系我们,甲乙\"\r\n");
}

TEST(Exports, CsvTextThatExcelWouldRunStaysText) {
  const std::pair<std::string, std::string> cases[] = {
      {"=HYPERLINK(\"http://x.cn\",\"看\")", "\"'=HYPERLINK(\"\"http://x.cn\"\",\"\"看\"\")\""},
      {"+1+2", "'+1+2"},
      {"@SUM(1+1)", "'@SUM(1+1)"},
      {"=cmd|'/C calc'!A0", "'=cmd|'/C calc'!A0"},
      {"-2+3", "'-2+3"},
      {"\t=1", "'\t=1"},
      {"\r=1", "\"'\r=1\""},
      {"深圳 -2+3", "深圳 -2+3"},
      {"", ""},
  };
  TempDir dir;
  const auto path = dir.path() / "formulas.csv";
  for (const auto& [keyword, field] : cases) {
    ASSERT_TRUE(WriteCsvExport(path, SourceOf({Item("@x", ContactKind::Email, keyword, 2)})).ok());
    EXPECT_NE(ReadFileBytes(path).find("\n'@x,邮箱," + field + ",baidu,2,"), std::string::npos)
        << keyword;
  }
}

// 时间 on the machine's clock, across a change of date and of daylight
// saving time: text in the CSV file, a date-time cell in the workbook. A time
// of another form goes out as it came.
TEST(Exports, TimesGoOutOnTheLocalClock) {
  struct Case {
    const char* zone;
    const char* utc;
    const char* local;
  } cases[] = {
      {"Asia/Shanghai", "2026-12-07T17:42:11Z", "2026-12-08 01:42:11"},
      {"America/New_York", "2026-07-01T12:00:00Z", "2026-07-01 08:00:00"},
      {"America/New_York", "2026-12-01T12:00:00Z", "2026-12-01 07:00:00"},
      {"UTC", "2026-12-07T17:42:11", "2026-12-07 17:42:11"},
      {"Asia/Shanghai", "yesterday", "yesterday"},
  };
  TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.zone) + " " + c.utc);
    const ScopedTimeZone zone(c.zone);
    const std::vector<ContactValue> items = {
        Item("13800000001", ContactKind::Mobile, "k", 1, c.utc)};
    for (const char* name : {"t.csv", "t.xlsx"}) {
      const auto path = dir.path() / name;
      ASSERT_TRUE(WriteExport(*ExportFormatFromName(path.extension().string().substr(1)), path,
                              SourceOf(items))
                      .ok());
      const bool csv = path.extension() == ".csv";
      const ReadBack back = ReadWithPython(dir, path, csv ? 1 : 5);
      ASSERT_EQ(back.rows.size(), 2u) << name;
      EXPECT_EQ(back.rows[1][6], c.local) << name;
      // A time, not a text that looks like one.
      if (!csv) {
        EXPECT_EQ(back.notes[3], std::string("dates ") + (c.local == c.utc ? "0" : "1"));
      }
    }
  }
  // A workbook without rows still filters its header.
  const auto empty = dir.path() / "empty.xlsx";
  ASSERT_TRUE(WriteXlsxExport(empty, SourceOf({})).ok());
  EXPECT_EQ(ReadWithPython(dir, empty, 5).notes[2], "filter A1:L1");
}

TEST(Exports, WorkbookCellsLongerThanExcelTakesAreCutAndCounted) {
  std::vector<ContactValue> items = {Item(std::string(40000, '7'), ContactKind::QQ, "k", 1),
                                     Item("short", ContactKind::QQ, "k", 1)};
  // 20,000 double-byte characters in 40,000 bytes: under the limit.
  std::string chinese;
  for (int i = 0; i < 20000; ++i) chinese.append(Utf8ToGbk("中"));
  items.push_back(Item(chinese, ContactKind::QQ, "k", 1, kTimeUtc, std::string(33000, 'u')));
  TempDir dir;
  const auto path = dir.path() / "long.xlsx";
  const ExportOutcome outcome = WriteXlsxExport(path, SourceOf(items));
  ASSERT_TRUE(outcome.ok()) << outcome.error;
  EXPECT_EQ(outcome.cutCells, 2u);
  const ReadBack back = ReadWithPython(dir, path, 5);
  ASSERT_EQ(back.rows.size(), 4u);
  EXPECT_EQ(back.rows[1][0], std::string(kXlsxCellCharacters, '7'));
  EXPECT_EQ(back.rows[2][0], "short");
  EXPECT_EQ(back.rows[3][0], GbkToUtf8(chinese));
  EXPECT_EQ(back.rows[3][5], std::string(kXlsxCellCharacters, 'u'));
}

TEST(Exports, TextIsTheResultFileByteForByte) {
  const std::vector<ContactValue> items = OddItems();
  BuyerList list;
  for (const ContactValue& item : items) list.Append(item.value, item.kind);
  TempDir dir;
  ASSERT_TRUE(WriteResultFile(dir.path() / "saved.txt", list).ok());
  const ExportOutcome outcome = WriteTxtExport(dir.path() / "export.txt", SourceOf(items));
  ASSERT_TRUE(outcome.ok()) << outcome.error;
  EXPECT_EQ(ReadFileBytes(dir.path() / "export.txt"), ReadFileBytes(dir.path() / "saved.txt"));
}

TEST(Exports, AFailedExportLeavesTheFormerFile) {
  TempDir dir;
  const auto path = dir.Write("keep.csv", "former");
  const std::vector<ContactValue> items = OddItems();
  ScopedWriteFault fault(100, ENOSPC);
  const ExportOutcome outcome = WriteCsvExport(path, SourceOf(items));
  EXPECT_FALSE(outcome.ok());
  EXPECT_EQ(ReadFileBytes(path), "former");
}

// An export only reads: a store copied with the -wal of a program still at
// work is exported, and neither file changes (no checkpoint at the close,
// no upgrade of an older schema).
TEST(Exports, AnExportNeverWritesTheStore) {
  TempDir dir;
  const auto live = dir.path() / "live.db";
  auto opened = HarvestStore::Open(live);
  ASSERT_TRUE(opened.store) << opened.error;
  const std::int64_t run = opened.store->BeginRun({"baidu", ContactKind::Mobile, ""});
  opened.store->AddPage(run, StorePage({.keywordLine = 1, .engine = "baidu", .page = 1},
                                       {{"13800000001", ContactKind::Mobile, {}}}));
  std::filesystem::create_directory(dir.path() / "copy");
  const auto copy = dir.path() / "copy" / "brivano.db";
  std::filesystem::copy_file(live, copy);
  std::filesystem::copy_file(dir.path() / "live.db-wal", dir.path() / "copy" / "brivano.db-wal");
  const std::string db = ReadFileBytes(copy),
                    wal = ReadFileBytes(dir.path() / "copy" / "brivano.db-wal");
  const std::string out = (dir.path() / "out.txt").string();
  const CliResult result =
      RunCli("export --format txt --db " + ShellQuote(copy.string()) + " -o " + ShellQuote(out));
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(ReadFileBytes(out), "13800000001\r\n");
  EXPECT_EQ(ReadFileBytes(copy), db);
  EXPECT_EQ(ReadFileBytes(dir.path() / "copy" / "brivano.db-wal"), wal);
}

TEST(Exports, CommandLineExportsFromTheStore) {
  const ScopedTimeZone shanghai("Asia/Shanghai");  // brivano-cli's too
  TempDir dir;
  const auto db = dir.path() / "brivano.db";
  {
    StoreOpenResult opened = HarvestStore::Open(db);
    ASSERT_TRUE(opened.store) << opened.error;
    HarvestStore& store = *opened.store;
    const std::int64_t first = store.BeginRun({"baidu", ContactKind::Mobile, ""});
    const PageSource page{.keywordLine = 1,
                          .keyword = Utf8ToGbk("深圳 钢材"),
                          .engine = "baidu",
                          .page = 1,
                          .timeUtc = "2026-11-30T09:00:00Z"};
    // Found on a result's own site.
    PageSource site = page;
    site.pageUrl = "http://jy.cn/lx.html";
    site.sitePage = true;
    site.pageTitle = Utf8ToGbk("联系我们");
    store.AddPage(first, StorePage(site, {{"13800000001", ContactKind::Mobile, {}},
                                          {"a@b.cn", ContactKind::Email, {}}}));
    const std::int64_t second = store.BeginRun({"bing", ContactKind::Mobile, ""});
    PageSource later = page;
    later.timeUtc = "2026-12-02T09:00:00Z";
    store.AddPage(second, StorePage(later, {{"13900000002", ContactKind::Mobile, {}}}));
    // A page that did not load: no items, a keyword to run again.
    PageSource failed = later;
    failed.keywordLine = 2;
    failed.keyword = Utf8ToGbk("北京 酒店");
    failed.page = 3;
    store.AddPage(second, StorePage(failed, {}, PageOutcome::Failed));
  }
  const std::string dbOption = " --db " + ShellQuote(db.string());
  EXPECT_EQ(RunCli("rerun" + dbOption).out, "2\t北京 酒店\t第3页 failed\n");
  EXPECT_EQ(RunCli("rerun --run 1" + dbOption).out, "");
  const std::string out = (dir.path() / "out.txt").string();
  const std::string base = "export --db " + ShellQuote(db.string()) + " -o " + ShellQuote(out);
  struct Case {
    std::string options;
    std::string content;
  } cases[] = {
      {"--format txt", "13800000001\r\na@b.cn\r\n13900000002\r\n"},
      {"--format txt --kind mobile", "13800000001\r\n13900000002\r\n"},
      {"--format txt --run 1", "13800000001\r\na@b.cn\r\n"},
      {"--format txt --since 2026-12-01", "13900000002\r\n"},
      {"--format txt --since 2026-12-02T09:00:00Z", "13900000002\r\n"},
      {"--format txt --since 2024-02-29T23:59:59", "13800000001\r\na@b.cn\r\n13900000002\r\n"},
  };
  for (const Case& c : cases) {
    const CliResult result = RunCli(base + " " + c.options);
    EXPECT_EQ(result.exitCode, 0) << c.options << result.err;
    EXPECT_EQ(ReadFileBytes(out), c.content) << c.options;
  }
  const std::string csvPath = (dir.path() / "out.csv").string();
  const CliResult csv = RunCli("export --format csv --kind email --db " + ShellQuote(db.string()) +
                               " -o " + ShellQuote(csvPath));
  EXPECT_EQ(csv.exitCode, 0) << csv.err;
  const ReadBack back = ReadWithPython(dir, csvPath, 1);
  ASSERT_EQ(back.rows.size(), 2u);
  EXPECT_EQ(back.rows[1], (std::vector<std::string>{"a@b.cn", "邮箱", "深圳 钢材", "baidu", "1",
                                                    "http://jy.cn/lx.html", "2026-11-30 17:00:00",
                                                    "", "", "", "", "联系我们"}));
  const auto emptyDb = dir.path() / "empty.db";
  ASSERT_TRUE(HarvestStore::Open(emptyDb).store);
  const std::string exportTo = "export --format txt" + dbOption + " -o ";
  struct Failure {
    std::string arguments;
    int exitCode;
    std::string message;
  } failures[] = {
      {base + " --format pdf", 2, "brivano-cli：未知的格式“pdf”"},
      {base + " --format csv --run 1 --since 2026-12-01", 2, "只能给一个"},
      {base + " --format csv --since yesterday", 2, "--since 需要日期"},
      {base + " --format csv --since 2026-13-45", 2, "--since 需要日期"},
      {base + " --format csv --since 2026-02-29", 2, "--since 需要日期"},
      {base + " --format csv --since 2026-12-07Tgarbage", 2, "--since 需要日期"},
      {base + " --format csv --since 2026-12-07T24:00:00Z", 2, "--since 需要日期"},
      {base + " --format csv --run 0x10", 2, "--run 需要不小于 1 的十进制整数"},
      {base + " --format csv --run '$10'", 2, "--run 需要不小于 1 的十进制整数"},
      {base + " --format csv --run +16", 2, "--run 需要不小于 1 的十进制整数"},
      {"rerun --run 0x1" + dbOption, 2, "--run 需要不小于 1 的十进制整数"},
      {base + " --format csv --run 3", 1, "没有第 3 次运行"},
      {"rerun --run 3" + dbOption, 1, "没有第 3 次运行"},
      {"export --format csv --run 1 --db " + ShellQuote(emptyDb.string()) + " -o x.csv", 1,
       "没有第 1 次运行"},
      {"export --format csv --db " + ShellQuote((dir.path() / "none.db").string()) + " -o x.csv", 1,
       "不存在"},
      {exportTo + ShellQuote(db.string()), 1, "”与数据库文件“" + db.string() + "”是同一个文件"},
      {exportTo + ShellQuote((dir.path() / "." / "brivano.db").string()), 1, "同一个文件"},
      {exportTo + ShellQuote(db.string() + "-wal"), 1, "与数据库文件“" + db.string() + "-wal”"},
      {exportTo + ShellQuote(db.string() + "-shm"), 1, "与数据库文件“" + db.string() + "-shm”"},
  };
  for (const Failure& f : failures) {
    const CliResult result = RunCli(f.arguments);
    EXPECT_EQ(result.exitCode, f.exitCode) << f.arguments;
    EXPECT_NE(result.err.find(f.message), std::string::npos) << result.err;
  }
  // The store that was refused as an output still serves whole.
  EXPECT_EQ(RunCli(base + " --format txt").exitCode, 0);
  EXPECT_EQ(ReadFileBytes(out), "13800000001\r\na@b.cn\r\n13900000002\r\n");
}

}  // namespace
}  // namespace brivano::testing
