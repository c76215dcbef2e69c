// The merge command: distinct lines, sorted by the Chinese collation with
// letter case ignored, first spelling kept.
#include <gtest/gtest.h>

#include <cerrno>
#include <random>

#include "base/text.h"
#include "files/line_collation.h"
#include "files/merge.h"
#include "testing/cli_runner.h"
#include "testing/file_fakes.h"

namespace brivano::testing {
namespace {

std::string G(std::string_view utf8) {
  return Utf8ToGbk(utf8);
}

struct Merged {
  std::string output;
  MergeOutcome outcome;
};

// Merges the given contents (GBK bytes), in order.
Merged MergeContents(const std::vector<std::string>& contents) {
  TempDir dir;
  std::vector<std::filesystem::path> inputs;
  for (std::size_t i = 0; i < contents.size(); ++i) {
    inputs.push_back(dir.Write("in" + std::to_string(i) + ".txt", contents[i]));
  }
  const auto output = dir.path() / "out.txt";
  Merged merged;
  merged.outcome = MergeFiles(inputs, output);
  merged.output = ReadFileBytes(output);
  return merged;
}

TEST(Merge, CasesOfTheCommand) {
  struct Case {
    const char* name;
    std::vector<std::string> inputs;
    std::string output;
  } cases[] = {
      {"b a b A", {"b\r\na\r\nb\r\nA\r\n"}, "a\r\nb\r\n"},
      {"first spelling met stays", {"Hello\r\n", "HELLO\r\nhello\r\n"}, "Hello\r\n"},
      {"first spelling, other order", {"HELLO\r\n", "Hello\r\n"}, "HELLO\r\n"},
      {"trailing blank counts", {"ab \r\nab\r\n"}, "ab\r\nab \r\n"},
      {"leading blank counts", {" ab\r\nab\r\n"}, " ab\r\nab\r\n"},
      {"empty lines: one, first", {"b\r\n\r\na\r\n\r\n", "\r\n"}, "\r\na\r\nb\r\n"},
      {"lone LF and lone CR", {"c\nb\ra\n"}, "a\r\nb\r\nc\r\n"},
      {"no final line break", {"b\r\na"}, "a\r\nb\r\n"},
      {"final break starts no line", {"a\r\n"}, "a\r\n"},
      {"NUL ends the content", {std::string("b\r\na\0z\r\n", 8)}, "a\r\nb\r\n"},
      {"NUL right after a break", {std::string("b\r\n\0z", 5)}, "b\r\n"},
      {"empty file", {""}, ""},
      {"empty file among others", {"", "x\r\n", ""}, "x\r\n"},
      {"nothing trimmed", {"\tx\r\nx\t\r\nx\r\n"}, "\tx\r\nx\r\nx\t\r\n"},
      // Full-width and half-width forms differ in more than case.
      {"full-width vs half-width",
       {G("Ａ\r\nA\r\nａ\r\n１\r\n1\r\n")},
       G("1\r\n１\r\nA\r\nＡ\r\n")},
      {"full-width letters fold", {G("ａｂ\r\nＡＢ\r\n")}, G("ａｂ\r\n")},
      {"Greek letters fold", {G("Ω\r\nω\r\n")}, G("Ω\r\n")},
      // Bytes that are no GBK character never equal "?" or each other.
      {"invalid GBK", {"\xFF\r\n?\r\n\x80\r\n\xFF\r\n\x81\r\n"}, ""},
      {"lone lead byte before a letter", {"\x81!\r\n\x81?\r\n"}, ""},
      {"pinyin order",
       {G("深圳\r\n北京\r\n上海\r\n广州\r\n")},
       G("北京\r\n广州\r\n上海\r\n深圳\r\n")},
      {"digits, then letters", {"b1\r\nB2\r\n10\r\n9\r\na\r\n"}, "10\r\n9\r\na\r\nb1\r\nB2\r\n"},
  };
  for (const Case& c : cases) {
    const Merged merged = MergeContents(c.inputs);
    ASSERT_TRUE(merged.outcome.ok()) << c.name << ": " << merged.outcome.error;
    if (std::string(c.name).starts_with("invalid") || std::string(c.name).starts_with("lone")) {
      // Their order is the tie-break's; what counts is that all stay.
      std::vector<std::string> lines = SplitTextLines(merged.output);
      std::vector<std::string> expected;
      for (const std::string& input : c.inputs) {
        for (std::string& line : SplitTextLines(input)) {
          if (std::find(expected.begin(), expected.end(), line) == expected.end()) {
            expected.push_back(line);
          }
        }
      }
      std::sort(lines.begin(), lines.end());
      std::sort(expected.begin(), expected.end());
      EXPECT_EQ(lines, expected) << c.name;
      continue;
    }
    EXPECT_EQ(GbkToUtf8(merged.output), GbkToUtf8(c.output)) << c.name;
    EXPECT_EQ(merged.output, c.output) << c.name;
    EXPECT_EQ(merged.outcome.distinctLines, SplitTextLines(c.output, std::string::npos).size())
        << c.name;
  }
}

TEST(Merge, TheOutputMayBeAnInput) {
  TempDir dir;
  const auto a = dir.Write("a.txt", "b\r\na\r\nB\r\n");
  const auto b = dir.Write("b.txt", "c\nA\n");
  const MergeOutcome outcome = MergeFiles({a, b}, a);
  ASSERT_TRUE(outcome.ok()) << outcome.error;
  EXPECT_EQ(outcome.distinctLines, 3u);
  EXPECT_EQ(ReadFileBytes(a), "a\r\nb\r\nc\r\n");
  EXPECT_EQ(ReadFileBytes(b), "c\nA\n");
}

// The collation decides equality by case only, and orders as LineCollation
// compares; the merge's sort keys must give the same output as inserting
// every line into a sorted list by binary search, the way the command was
// first described.
TEST(Merge, SameOutputAsSortedInsertion) {
  std::mt19937 random(7);
  const std::vector<std::string> pieces = {"a", "A",     "b",     "B",     "1",     " ",     "-",
                                           "@", G("深"), G("圳"), G("北"), G("ａ"), G("Ａ"), "\xFF",
                                           "?", G("阿"), G("啊"), "z",     "Z",     "."};
  std::vector<std::string> contents(3);
  for (std::string& content : contents) {
    for (int line = 0; line < 700; ++line) {
      const int length = static_cast<int>(random() % 5);
      for (int k = 0; k < length; ++k) content += pieces[random() % pieces.size()];
      // Now and then a line too long to be keyed whole, whose key's first
      // bytes often tie with other lines'.
      if (line % 97 == 0) content += std::string(66000 + random() % 2, "aAb"[random() % 3]);
      content += (random() % 3 == 0) ? "\n" : "\r\n";
    }
  }
  LineCollation collation;
  std::vector<std::string> expected;
  for (const std::string& content : contents) {
    for (const std::string& line : SplitTextLines(content, std::string::npos)) {
      auto at = std::lower_bound(
          expected.begin(), expected.end(), line,
          [&](const std::string& a, const std::string& b) { return collation.Compare(a, b) < 0; });
      if (at == expected.end() || collation.Compare(*at, line) != 0) expected.insert(at, line);
    }
  }
  std::string expectedOutput;
  for (const std::string& line : expected) expectedOutput += line + "\r\n";
  const Merged merged = MergeContents(contents);
  EXPECT_EQ(merged.outcome.distinctLines, expected.size());
  EXPECT_EQ(merged.output, expectedOutput);
  EXPECT_GT(expected.size(), 500u);  // the case mixes many distinct lines
}

TEST(LineCollation, EqualExactlyWhenOnlyLetterCaseDiffers) {
  LineCollation collation;
  struct Case {
    std::string a, b;
    bool equal;
  } cases[] = {
      {"abc", "ABC", true},
      {"abc", "abd", false},
      {"abc", "abc ", false},
      {G("ａ"), G("Ａ"), true},
      {G("ａ"), "a", false},
      {G("Ⅻ"), G("ⅻ"), false},  // ⅻ is not in GBK: no fold to it
      {G("Ⅰ"), G("ⅰ"), true},
      {"\x80", "?", false},
      {"\xFF", "?", false},
      {"a\x01"
       "b",
       "ab", false},  // an ignorable control character still counts
      {"", "", true},
      {G("北京"), G("北京"), true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(collation.Compare(c.a, c.b) == 0, c.equal) << c.a << " / " << c.b;
    EXPECT_EQ(collation.Compare(c.b, c.a) == 0, c.equal) << c.a << " / " << c.b;
    EXPECT_EQ(collation.Fold(c.a) == collation.Fold(c.b), c.equal) << c.a << " / " << c.b;
    EXPECT_EQ(collation.Compare(c.a, c.b), -collation.Compare(c.b, c.a)) << c.a << " / " << c.b;
  }
}

TEST(Merge, AnInputThatCannotBeReadEndsTheMergeBeforeAnyOutput) {
  TempDir dir;
  const auto a = dir.Write("a.txt", "x\r\ny\r\nX\r\n");
  const auto missing = dir.path() / "missing.txt";
  const auto output = dir.Write("out.txt", "former\r\n");
  const MergeOutcome outcome = MergeFiles({a, missing, a}, output);
  EXPECT_EQ(outcome.error, "无法打开文件“" + missing.string() + "”：没有那个文件或目录");
  EXPECT_EQ(outcome.distinctLines, 2u);  // gathered before the failure
  EXPECT_EQ(ReadFileBytes(output), "former\r\n");

  const MergeOutcome folder = MergeFiles({dir.path()}, dir.path() / "new.txt");
  EXPECT_EQ(folder.error, "无法打开文件“" + dir.path().string() + "”：是一个目录");
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "new.txt"));
}

TEST(Merge, AnOutputThatCannotBeWrittenKeepsTheFormerFile) {
  TempDir dir;
  const auto a = dir.Write("a.txt", "b\r\na\r\n");
  const auto output = dir.Write("out.txt", "former\r\n");
  {
    ScopedWriteFault fault(2, ENOSPC);
    const MergeOutcome outcome = MergeFiles({a}, output);
    EXPECT_EQ(outcome.error, "无法创建文件“" + output.string() + "”：设备上没有空间");
    EXPECT_EQ(outcome.distinctLines, 2u);
  }
  EXPECT_EQ(ReadFileBytes(output), "former\r\n");
  const auto gone = dir.path() / "gone" / "out.txt";
  EXPECT_EQ(MergeFiles({a}, gone).error, "无法创建文件“" + gone.string() + "”：没有那个文件或目录");
  for (std::uint64_t killAt = 0; killAt <= 6; ++killAt) {  // "a\r\nb\r\n"
    ASSERT_TRUE(KilledDuringWrite(killAt, [&] { (void)MergeFiles({a}, output); })) << killAt;
    ASSERT_EQ(ReadFileBytes(output), "former\r\n") << killAt;
  }
  ASSERT_TRUE(MergeFiles({a}, output).ok());
  EXPECT_EQ(ReadFileBytes(output), "a\r\nb\r\n");
}

TEST(MergeCommand, StatusTextsCursorAndErrorBox) {
  TempDir dir;
  const auto a = dir.Write("a.txt", "b\r\na\r\nb\r\nA\r\n");
  FakeFeedback feedback;
  MergeWithFeedback({a}, dir.path() / "out.txt", feedback);
  EXPECT_EQ(feedback.events,
            (std::vector<std::string>{"busy", "status:数据正处理中...",
                                      "status:文件合并去重完毕！共计：2", "normal"}));
  EXPECT_GE(feedback.repaints, 1);

  FakeFeedback failing;
  const auto missing = dir.path() / "missing.txt";
  MergeWithFeedback({a, missing}, dir.path() / "out2.txt", failing);
  EXPECT_EQ(failing.events,
            (std::vector<std::string>{
                "busy", "status:数据正处理中...", "status:文件合并失败！", "normal",
                "error:无法打开文件“" + missing.string() + "”：没有那个文件或目录"}));
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "out2.txt"));

  FakeFeedback none;
  MergeWithFeedback({}, dir.path() / "out3.txt", none);  // no file chosen: nothing happens
  EXPECT_TRUE(none.events.empty());
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "out3.txt"));
}

}  // namespace
}  // namespace brivano::testing
