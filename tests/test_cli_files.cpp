// brivano-cli merge and keywords as a user runs them.
#include <gtest/gtest.h>

#include "base/text.h"
#include "testing/cli_runner.h"

namespace brivano::testing {
namespace {

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
  EXPECT_EQ(r.err, "Cannot open file \"" + missing.string() + "\". No such file or directory\n");
  EXPECT_EQ(ReadFileBytes(out), "former\r\n");

  const auto gone = dir.path() / "gone" / "out.txt";
  r = RunCli("merge -o " + ShellQuote(gone) + " " + ShellQuote(a));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "Cannot create file \"" + gone.string() + "\". No such file or directory\n");

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
    EXPECT_EQ(r.err, "输出文件“" + c.output.string() + "”与输入文件“" + c.input.string() +
                         "”是同一个文件，请另选输出文件。\n");
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

TEST(CliKeywords, Failures) {
  TempDir dir;
  const auto cities = dir.Write("cities.txt", "a\r\n");
  const auto missing = dir.path() / "missing.txt";
  CliResult r = RunCli("keywords " + ShellQuote(cities) + " " + ShellQuote(missing));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "Cannot open file \"" + missing.string() + "\". No such file or directory\n");

  const auto gone = dir.path() / "gone" / "list.txt";
  r = RunCli("keywords " + ShellQuote(cities) + " " + ShellQuote(cities) + " -o " +
             ShellQuote(gone));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "Cannot create file \"" + gone.string() + "\". No such file or directory\n");

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
