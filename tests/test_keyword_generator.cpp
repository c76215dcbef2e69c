// The keyword-list generator: every city with every trade.
#include <gtest/gtest.h>

#include <cerrno>

#include "base/text.h"
#include "files/keyword_generator.h"
#include "testing/cli_runner.h"
#include "testing/file_fakes.h"

namespace brivano::testing {
namespace {

std::string G(std::string_view utf8) {
  return Utf8ToGbk(utf8);
}

TEST(KeywordGenerator, BuiltInListsGiveThirtySixLines) {
  const std::string list = GenerateKeywordList(G(kBuiltInCities), G(kBuiltInTrades));
  const std::vector<std::string> lines = SplitTextLines(list, std::string::npos);
  ASSERT_EQ(lines.size(), 36u);
  EXPECT_EQ(GbkToUtf8(lines.front()), "广州 旅行社");
  EXPECT_EQ(GbkToUtf8(lines[5]), "广州 电器");
  EXPECT_EQ(GbkToUtf8(lines[6]), "深圳 旅行社");
  EXPECT_EQ(GbkToUtf8(lines.back()), "南京 电器");
  EXPECT_TRUE(list.ends_with("\r\n"));
  EXPECT_EQ(list.size(), 36u * 2 /*CR LF*/ + 36u /*blank*/ + 6u * 6 * 4 /*cities*/ +
                             6u * (6 + 4 + 4 + 4 + 4 + 4) /*trades*/);
  // Generating again gives the same lines, not twice as many.
  EXPECT_EQ(GenerateKeywordList(G(kBuiltInCities), G(kBuiltInTrades)), list);
}

TEST(KeywordGenerator, LinesJoinExactlyAsTheyStand) {
  struct Case {
    const char* name;
    std::string cities, trades, list;
  } cases[] = {
      {"trailing blank of a city", "a \r\nb", "x", "a  x\r\nb x\r\n"},
      {"empty line between cities", "a\r\n\r\nb", "x\r\ny",
       "a x\r\na y\r\n x\r\n y\r\nb x\r\nb y\r\n"},
      {"final line break adds no group", "a\r\nb\r\n", "x\r\n", "a x\r\nb x\r\n"},
      {"lone LF and lone CR", "a\nb\rc", "x", "a x\r\nb x\r\nc x\r\n"},
      {"duplicates stay", "a\r\na", "x\r\nx", "a x\r\na x\r\na x\r\na x\r\n"},
      {"empty city box", "", "x\r\ny", ""},
      {"empty trade box", "a\r\nb", "", ""},
      {"a box of one line break", "\r\n", "x", " x\r\n"},
      {"blanks only", "  ", "\t", "   \t\r\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GenerateKeywordList(c.cities, c.trades), c.list) << c.name;
  }
}

TEST(KeywordGenerator, AtMost4096BytesOfALineAreRead) {
  const std::string city(5000, 'c');
  EXPECT_EQ(GenerateKeywordList(city, "t"), std::string(4096, 'c') + " t\r\n");
}

TEST(KeywordGenerator, AThousandByAThousand) {
  std::string cities, trades;
  for (int i = 0; i < 1000; ++i) {
    cities += G("城市") + std::to_string(i) + "\r\n";
    trades += G("行业") + std::to_string(i) + "\r\n";
  }
  const std::string list = GenerateKeywordList(cities, trades);
  const std::vector<std::string> lines = SplitTextLines(list, std::string::npos);
  ASSERT_EQ(lines.size(), 1000000u);
  EXPECT_EQ(lines[1001], G("城市1 行业1"));
  EXPECT_EQ(lines.back(), G("城市999 行业999"));
}

TEST(KeywordGenerator, SaveWritesTheTextUnchanged) {
  TempDir dir;
  FakeFeedback feedback;
  const auto path = dir.path() / std::string(kKeywordListFileName);
  for (const std::string& text : {GenerateKeywordList(G(kBuiltInCities), G(kBuiltInTrades)),
                                  std::string("edited\r\nby hand"), std::string()}) {
    ASSERT_TRUE(SaveKeywordList(path, text, feedback));
    EXPECT_EQ(ReadFileBytes(path), text);
  }
  EXPECT_TRUE(feedback.errors.empty());
}

TEST(KeywordGenerator, AFailedSaveIsReportedAndKeepsTheFormerFile) {
  TempDir dir;
  const auto path = dir.Write("list.txt", "former\r\n");
  FakeFeedback feedback;
  {
    ScopedWriteFault fault(4, ENOSPC);
    EXPECT_FALSE(SaveKeywordList(path, "a x\r\nb x\r\n", feedback));
  }
  const auto gone = dir.path() / "gone" / "list.txt";
  EXPECT_FALSE(SaveKeywordList(gone, "a x\r\n", feedback));
  EXPECT_EQ(feedback.errors,
            (std::vector<std::string>{"无法创建文件“" + path.string() + "”：设备上没有空间",
                                      "无法创建文件“" + gone.string() + "”：没有那个文件或目录"}));
  EXPECT_EQ(ReadFileBytes(path), "former\r\n");
}

}  // namespace
}  // namespace brivano::testing
