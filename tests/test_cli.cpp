// brivano-cli as a user runs it.
#include <gtest/gtest.h>

#include "base/text.h"
#include "testing/cli_runner.h"
#include "testing/page_text.h"

namespace brivano::testing {
namespace {

TEST(CliUrl, PrintsTheResultPageAddress) {
  struct Case {
    std::string arguments, expected;
  } cases[] = {
      {"url --engine baidu '深圳 旅行社'",
       "https://www.baidu.com/s?wd=%C9%EE%DB%DA+%C2%C3%D0%D0%C9%E7+%CA%D6%BB%FA%3A&pn=0\n"},
      {"url --engine 360 '深圳 旅行社'",
       "https://www.so.com/"
       "s?q=%E6%B7%B1%E5%9C%B3%20%E6%97%85%E8%A1%8C%E7%A4%BE%20%E6%89%8B%E6%9C%BA%3A&pn=1\n"},
      {"url --engine sogou --kind qq --page 2 ab",
       "http://www.sogou.com/tx?query=ab+QQ%3A&page=2\n"},
      {"url --engine bing --mark '' --page 3 ab", "http://cn.bing.com/search?q=%61%62&first=21\n"},
      {"url --engine baidu --kind fax --mark ' 传真 ' x",
       "https://www.baidu.com/s?wd=x+%B4%AB%D5%E6&pn=0\n"},
  };
  for (const auto& c : cases) {
    const CliResult r = RunCli(c.arguments);
    EXPECT_EQ(r.exitCode, 0) << c.arguments << r.err;
    EXPECT_EQ(r.out, c.expected) << c.arguments;
  }
}

TEST(CliUrl, UsageErrors) {
  for (const char* arguments :
       {"url x", "url --engine google x", "url --engine baidu", "url --engine baidu a b",
        "url --engine baidu --page 0 x", "url --engine baidu --kind phone x",
        "url --engine baidu --bogus x", "url --engine", "frobnicate", ""}) {
    const CliResult r = RunCli(arguments);
    EXPECT_EQ(r.exitCode, 2) << arguments;
    EXPECT_TRUE(r.out.empty()) << arguments;
    EXPECT_NE(r.err.find("usage"), std::string::npos) << arguments;
  }
}

TEST(CliExtract, MobileNumbersFromFilesAndStandardInput) {
  TempDir dir;
  const auto gbk =
      dir.Write("a.txt", Utf8ToGbk("手机：13800000000\r\n电话 15912345678\r\n13800000000"));
  const auto utf8 = dir.Write("b.txt", "联系 13800000000\n18600000001\r");
  std::string withNul = "17700000000\n";
  withNul.push_back('\0');
  withNul += "18800000000\n";
  const auto nul = dir.Write("c.txt", withNul);

  CliResult r = RunCli("extract --kind mobile " + ShellQuote(gbk) + " " + ShellQuote(utf8));
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "13800000000\n15912345678\n13800000000\n13800000000\n18600000001\n");

  r = RunCli("extract --dedup --kind mobile " + ShellQuote(gbk) + " " + ShellQuote(utf8));
  EXPECT_EQ(r.out, "13800000000\n15912345678\n18600000001\n");

  r = RunCli("extract --kind mobile " + ShellQuote(nul));
  EXPECT_EQ(r.out, "17700000000\n");  // the content ends at the NUL

  r = RunCli("extract --kind mobile", "x 13912345678 y\r\n");
  EXPECT_EQ(r.out, "13912345678\n");

  // A line is cut to its first 4096 bytes.
  r = RunCli("extract --kind mobile --encoding gbk", std::string(4090, 'x') + "13912345678\n");
  EXPECT_EQ(r.out, "");
}

TEST(CliExtract, Encodings) {
  // "１" (full-width) in UTF-8 read as GBK is three bytes of two characters,
  // no digit; read as UTF-8 it is a full-width digit, which counts.
  const std::string utf8Page = "电话１３８00000000 13800000001\n";
  const struct {
    const char* encoding;
    const char* out;
  } cases[] = {{"auto", "13800000000\n13800000001\n"},
               {"utf-8", "13800000000\n13800000001\n"},
               {"gbk", "13800000001\n"}};
  for (const auto& c : cases) {
    const CliResult r =
        RunCli(std::string("extract --kind mobile --encoding ") + c.encoding, utf8Page);
    EXPECT_EQ(r.exitCode, 0) << c.encoding;
    EXPECT_EQ(r.out, c.out) << c.encoding;
  }
  EXPECT_EQ(RunCli("extract --kind mobile --encoding latin1", "").exitCode, 2);
}

// A file of several megabytes is worked on by several threads: what is
// printed must not depend on how many, with or without de-duplication, and a
// NUL in a later part still ends the page.
TEST(CliExtract, ThreadsChangeNothing) {
  TempDir dir;
  std::string page = bench::PageText(std::size_t{10} << 20, 3);
  const auto whole = dir.Write("page.txt", page);
  page[page.size() / 4] = '\0';  // inside the first of the parts
  const auto cut = dir.Write("cut.txt", page);
  for (const char* kind : {"mobile", "email", "qq", "fax"}) {
    for (const auto& file : {whole, cut}) {
      for (const char* dedup : {"", "--dedup "}) {
        const std::string command = std::string("extract --encoding gbk ") + dedup + "--kind " +
                                    kind + " " + ShellQuote(file) + " --threads ";
        const CliResult one = RunCli(command + "1");
        const CliResult three = RunCli(command + "3");
        EXPECT_EQ(one.exitCode, 0) << one.err;
        EXPECT_GT(one.out.size(), 1000u) << command;
        EXPECT_EQ(three.out, one.out) << command;
      }
    }
  }
  EXPECT_EQ(RunCli("extract --kind mobile --threads 0", "").exitCode, 2);
  EXPECT_EQ(RunCli("extract --kind mobile --threads many", "").exitCode, 2);
}

TEST(CliExtract, Failures) {
  CliResult r = RunCli("extract --kind mobile /nonexistent/page.txt");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "brivano-cli：无法打开文件“/nonexistent/page.txt”：没有那个文件或目录\n");
  EXPECT_EQ(RunCli("extract --kind phone").exitCode, 2);
  EXPECT_EQ(RunCli("extract").exitCode, 2);
  TempDir dir;
  r = RunCli("extract --kind mobile " + ShellQuote(dir.path().string()));
  EXPECT_EQ(r.exitCode, 1);  // a folder is no page
}

// A saved page in GBK, as its head says, or in UTF-8 by its byte-order mark
// (which outweighs the head) gives the same lines.
TEST(CliBlocks, PrintsEachBlockOnALine) {
  const std::string page =
      "<html><head><meta http-equiv=Content-Type content='text/html; charset=gb2312'></head>"
      "<body><div id=content_left><div class='result c-container' mu='http://jy.cn/a'>"
      "<h3><a href='http://www.baidu.com/link?url=x'>深圳 甲乙\t旅行社</a></h3>"
      "<a class=c-showurl>jy.cn/a/b...</a></div></div></body></html>";
  const std::string lines =
      "1\t深圳 甲乙 旅行社\tjy.cn\thttp://jy.cn/a\thttp://www.baidu.com/link?url=x\n"
      "共 1 个结果块\n";
  TempDir dir;
  const std::pair<std::string, std::string> cases[] = {
      {Utf8ToGbk(page), lines}, {"\xEF\xBB\xBF" + page, lines}, {"", "共 0 个结果块\n"}};
  for (const auto& [bytes, out] : cases) {
    const CliResult r = RunCli("blocks --engine baidu " + ShellQuote(dir.Write("p.html", bytes)));
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, out);
  }
  EXPECT_EQ(RunCli("blocks --engine baidu").exitCode, 2);
}

}  // namespace
}  // namespace brivano::testing
