// brivano-cli merge and keywords as a user runs them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <optional>

#include "base/text.h"
#include "testing/cli_runner.h"

namespace brivano::testing {
namespace {

using namespace std::string_literals;

std::string G(std::string_view utf8) {
  return Utf8ToGbk(utf8);
}

TEST(CliMerge, MergesFilesAndPrintsTheCompletionText) {
  TempDir dir;
  const auto a = dir.Write("a.txt", G("深圳\r\nb\r\na\r\n"));
  const auto b = dir.Write("b 2.txt", G("A\nB\n北京\n深圳"));
  const auto out = dir.path() / "out.txt";
  const CliResult r =
      RunCli("merge -o " + ShellQuote(out) + " " + ShellQuote(a) + " " + ShellQuote(b));
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "文件合并去重完毕！共计：4\n");
  EXPECT_EQ(ReadFileBytes(out), G("北京\r\n深圳\r\na\r\nb\r\n"));
}

TEST(CliMerge, Failures) {
  TempDir dir;
  const auto a = dir.Write("a.txt", "x\r\n");
  const auto out = dir.Write("out.txt", "former\r\n");
  const auto missing = dir.path() / "missing.txt";
  CliResult r =
      RunCli("merge -o " + ShellQuote(out) + " " + ShellQuote(a) + " " + ShellQuote(missing));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.out, "");  // a failure is no completion
  EXPECT_EQ(r.err, "brivano-cli：无法打开文件“" + missing.string() + "”：没有那个文件或目录\n");
  EXPECT_EQ(ReadFileBytes(out), "former\r\n");

  const auto gone = dir.path() / "gone" / "out.txt";
  r = RunCli("merge -o " + ShellQuote(gone) + " " + ShellQuote(a));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "brivano-cli：无法创建文件“" + gone.string() + "”：没有那个文件或目录\n");

  for (const std::string& arguments :
       {std::string("merge"), "merge " + ShellQuote(a), "merge -o " + ShellQuote(out),
        std::string("merge -o"), "merge --bogus -o x " + ShellQuote(a)}) {
    r = RunCli(arguments);
    EXPECT_EQ(r.exitCode, 2) << arguments;
    EXPECT_NE(r.err.find("brivano-cli merge -o OUT FILE..."), std::string::npos) << arguments;
  }
}

// An input under another name is still the same file.
TEST(CliOutputs, NeverOneOfTheInputs) {
  TempDir dir;
  const auto a = dir.Write("a.txt", "a\r\n");
  const auto b = dir.Write("b.txt", "b\r\n");
  const auto hard = dir.path() / "hard.txt";
  const auto link = dir.path() / "link.txt";
  std::filesystem::create_hard_link(a, hard);
  std::filesystem::create_symlink(b, link);
  const auto dotted = dir.path() / "." / "b.txt";
  const std::string inputs = " " + ShellQuote(a) + " " + ShellQuote(b);
  struct Case {
    std::string command;
    std::filesystem::path output, input;
  } cases[] = {
      {"merge -o " + ShellQuote(hard) + inputs, hard, a},
      {"merge -o " + ShellQuote(dotted) + inputs, dotted, b},
      {"keywords" + inputs + " -o " + ShellQuote(link), link, b},
  };
  for (const Case& c : cases) {
    const CliResult r = RunCli(c.command);
    EXPECT_EQ(r.exitCode, 1) << c.command;
    EXPECT_EQ(r.err, "brivano-cli：输出文件“" + c.output.string() + "”与输入文件“" +
                         c.input.string() + "”是同一个文件，请另选输出文件。\n");
    EXPECT_EQ(ReadFileBytes(a) + ReadFileBytes(b), "a\r\nb\r\n") << c.command;
  }
}

TEST(CliKeywords, ToTheTerminalAndToAFile) {
  TempDir dir;
  const auto cities = dir.Write("cities.txt", G("深圳\r\n北京 \r\n"));
  const auto trades = dir.Write("trades.txt", G("酒店\n机械"));
  CliResult r = RunCli("keywords " + ShellQuote(cities) + " " + ShellQuote(trades));
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "深圳 酒店\n深圳 机械\n北京  酒店\n北京  机械\n");

  const auto out = dir.path() / "list.txt";
  r = RunCli("keywords " + ShellQuote(cities) + " " + ShellQuote(trades) + " -o " +
             ShellQuote(out));
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(ReadFileBytes(out), G("深圳 酒店\r\n深圳 机械\r\n北京  酒店\r\n北京  机械\r\n"));

  const auto empty = dir.Write("empty.txt", "");
  r = RunCli("keywords " + ShellQuote(empty) + " " + ShellQuote(trades));
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "");
}

// The two lists are read as brivano-run reads its keyword file, whatever
// the encoding of each; the file written stays GBK with CR LF.
TEST(CliKeywords, ListsInEveryEncoding) {
  const std::string utf16 = std::string("\xFF\xFE") + "\x17\x53\xAC\x4E\n\0"s;  // 北京
  struct Case {
    const char* what;
    std::string cities, trades;
    const char* options;
  } cases[] = {
      {"GBK", G("北京\r\n"), G("酒店\r\n"), ""},
      {"UTF-8", "北京\n", "酒店\n", ""},
      {"UTF-8 with its mark", "\xEF\xBB\xBF北京\n", "\xEF\xBB\xBF酒店", ""},
      {"UTF-16 and GBK", utf16, G("酒店"), ""},
      {"UTF-8 named", "北京\n", "酒店\n", "--encoding utf-8 "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    const std::string lists = " " + ShellQuote(dir.Write("c.txt", c.cities)) + " " +
                              ShellQuote(dir.Write("t.txt", c.trades));
    CliResult r = RunCli(std::string("keywords ") + c.options + lists);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "北京 酒店\n");
    const auto out = dir.path() / "list.txt";
    r = RunCli(std::string("keywords ") + c.options + lists + " -o " + ShellQuote(out));
    EXPECT_EQ(ReadFileBytes(out), G("北京 酒店\r\n"));
  }
  EXPECT_EQ(RunCli("keywords --encoding latin1 a b").exitCode, 2);
}

// Sets an environment variable for the commands a test runs, and puts back
// what it was.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
    if (const char* former = std::getenv(name)) former_ = former;
    ::setenv(name, value.c_str(), 1);
  }
  ~ScopedEnvironment() {
    if (former_) {
      ::setenv(name_, former_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

 private:
  const char* name_;
  std::optional<std::string> former_;
};

// Chinese on standard output and standard error comes in the encoding of
// the locale: GBK in a GBK locale (one the test builds, as a Chinese
// desktop installs it), UTF-8 in a UTF-8 locale and in the C locale, which
// a Linux terminal shows as UTF-8.
TEST(CliTerminal, TheLocaleSaysWhatTheTerminalReads) {
  TempDir dir;
  const auto locales = dir.path() / "locales";
  std::filesystem::create_directory(locales);
  const bool gbkBuilt =
      std::system(("localedef -i zh_CN -f GBK " + ShellQuote((locales / "zh_CN.GBK").string()) +
                   " >/dev/null 2>&1")
                      .c_str()) == 0;
  const ScopedEnvironment locpath("LOCPATH", locales.string());
  const auto cities = dir.Write("c.txt", "深圳\n");
  const auto trades = dir.Write("t.txt", G("酒店"));
  const auto missing = dir.path() / "none.txt";
  const auto merged = dir.path() / "m.txt";
  struct Case {
    const char* locale;
    bool gbk;
  } cases[] = {{"C", false}, {"C.UTF-8", false}, {"zh_CN.GBK", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.locale);
    if (c.gbk && !gbkBuilt) {
      std::cout << "[ NOTE     ] " << c.locale << ": localedef cannot build it here\n";
      continue;
    }
    const ScopedEnvironment locale("LC_ALL", c.locale);
    auto terminal = [&](const std::string& utf8) { return c.gbk ? G(utf8) : utf8; };
    CliResult r = RunCli("keywords " + ShellQuote(cities) + " " + ShellQuote(trades));
    EXPECT_EQ(r.out, terminal("深圳 酒店\n"));
    r = RunCli("merge -o " + ShellQuote(merged) + " " + ShellQuote(trades));
    EXPECT_EQ(r.out, terminal("文件合并去重完毕！共计：1\n"));
    EXPECT_EQ(ReadFileBytes(merged), G("酒店\r\n"));  // a file stays GBK
    r = RunCli("url --engine 360 --mark " + ShellQuote(terminal("电话")) + " " +
               ShellQuote(terminal("深圳")));
    EXPECT_EQ(r.out, "https://www.so.com/s?q=%E6%B7%B1%E5%9C%B3%20%E7%94%B5%E8%AF%9D&pn=1\n");
    r = RunCli("keywords " + ShellQuote(missing) + " " + ShellQuote(trades));
    EXPECT_EQ(r.err, terminal("brivano-cli：无法打开文件“" + missing.string() +
                              "”：没有那个文件或目录\n"));
  }
}

TEST(CliKeywords, Failures) {
  TempDir dir;
  const auto cities = dir.Write("cities.txt", "a\r\n");
  const auto missing = dir.path() / "missing.txt";
  CliResult r = RunCli("keywords " + ShellQuote(cities) + " " + ShellQuote(missing));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "brivano-cli：无法打开文件“" + missing.string() + "”：没有那个文件或目录\n");

  const auto gone = dir.path() / "gone" / "list.txt";
  r = RunCli("keywords " + ShellQuote(cities) + " " + ShellQuote(cities) + " -o " +
             ShellQuote(gone));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "brivano-cli：无法创建文件“" + gone.string() + "”：没有那个文件或目录\n");

  for (const std::string& arguments :
       {std::string("keywords"), "keywords " + ShellQuote(cities), std::string("keywords a b c"),
        "keywords " + ShellQuote(cities) + " " + ShellQuote(cities) + " -o"}) {
    r = RunCli(arguments);
    EXPECT_EQ(r.exitCode, 2) << arguments;
    EXPECT_NE(r.err.find("brivano-cli keywords CITIES TRADES [-o OUT]"), std::string::npos)
        << arguments;
  }
}

}  // namespace
}  // namespace brivano::testing
