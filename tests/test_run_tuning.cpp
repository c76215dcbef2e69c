// "engines.ini" over the built-in engine table, and the rest between keywords.
#include <gtest/gtest.h>

#include "base/text.h"
#include "files/run_tuning.h"
#include "testing/cli_runner.h"

namespace brivano::testing {
namespace {

const EngineTable& BuiltIn() {
  return DefaultEngineTable();
}

bool SameRow(const EngineRow& a, const EngineRow& b) {
  return a.schemeAndHost == b.schemeAndHost && a.pathAndQueryKey == b.pathAndQueryKey &&
         a.pageKey == b.pageKey && a.nextPageTexts == b.nextPageTexts &&
         a.nextPageRule == b.nextPageRule && a.verifyAddressParts == b.verifyAddressParts &&
         a.verifyTexts == b.verifyTexts && a.nextPageSelector == b.nextPageSelector &&
         a.verifySelector == b.verifySelector && a.verifyTitles == b.verifyTitles &&
         a.resultSelector == b.resultSelector && a.titleSelector == b.titleSelector &&
         a.targetAttributes == b.targetAttributes && a.siteSelector == b.siteSelector;
}

TEST(EngineOverrides, OverridePartialAndDamagedFiles) {
  const std::string full =
      "; follows Baidu's new pager\r\n"
      "[Baidu]\r\n"
      "nextpage = 下一頁> | 下一页 >\r\n"
      "verifytext=百度安全验证|安全验证\r\n"
      "verifyurl=\r\n"
      "\r\n"
      "nextselector=#page a.n-next\r\n"
      "verifytitle=百度安全验证 | 验证\r\n"
      "resultselector=div.result | div.c-container\r\n"
      "verifyselector=\r\n"
      "titleselector=h3 a | a h3\r\n"
      "targetattributes=MU | data-url\r\n"
      "\r\n"
      "[bing]\r\n"
      "host=https://www.bing.com\r\n"
      "nextpagerule=contains\r\n"
      "siteselector=div.b_attribution cite\r\n";
  const EngineOverrides applied = ApplyEngineOverrides(BuiltIn(), full);
  EXPECT_EQ(applied.problem, "");
  const EngineRow& baidu = applied.table[0];
  EXPECT_EQ(baidu.nextPageTexts, (std::vector<std::string>{"下一頁>", "下一页 >"}));
  EXPECT_EQ(baidu.verifyTexts, (std::vector<std::string>{"百度安全验证", "安全验证"}));
  EXPECT_TRUE(baidu.verifyAddressParts.empty());
  EXPECT_EQ(baidu.schemeAndHost, BuiltIn()[0].schemeAndHost);
  EXPECT_EQ(baidu.nextPageSelector, "#page a.n-next");
  EXPECT_EQ(baidu.verifyTitles, (std::vector<std::string>{"百度安全验证", "验证"}));
  EXPECT_EQ(baidu.resultSelector, "div.result, div.c-container");
  EXPECT_EQ(baidu.verifySelector, "");
  EXPECT_EQ(baidu.titleSelector, "h3 a, a h3");
  EXPECT_EQ(baidu.targetAttributes, (std::vector<std::string>{"mu", "data-url"}));
  EXPECT_EQ(baidu.siteSelector, BuiltIn()[0].siteSelector);
  EXPECT_EQ(applied.table[3].siteSelector, "div.b_attribution cite");
  EXPECT_EQ(applied.table[3].schemeAndHost, "https://www.bing.com");
  EXPECT_EQ(applied.table[3].nextPageRule, NextPageRule::LineContains);
  EXPECT_TRUE(SameRow(applied.table[1], BuiltIn()[1]));  // sections left out stay built in
  EXPECT_TRUE(SameRow(applied.table[2], BuiltIn()[2]));

  // The same file in GBK, as a Windows editor would save it.
  EXPECT_EQ(ApplyEngineOverrides(BuiltIn(), Utf8ToGbk(full)).table[0].verifyTexts,
            baidu.verifyTexts);

  using namespace std::string_literals;
  struct Damaged {
    std::string content;
    const char* problem;
  } damaged[] = {
      {"[sogou]\nnextpage=下一页\ngarbage line\n",
       "engines.ini 第3行有误，已改用内置的搜索引擎设置"},
      {"nextpage=x\n", "engines.ini 第1行有误，已改用内置的搜索引擎设置"},
      {"[google]\n", "engines.ini 第1行有误，已改用内置的搜索引擎设置"},
      {"[360]\ncolour=red\n", "engines.ini 第2行有误，已改用内置的搜索引擎设置"},
      {"[360]\nnextpage= | \n", "engines.ini 第2行有误，已改用内置的搜索引擎设置"},
      {"[360]\nnextpagerule=sometimes\n", "engines.ini 第2行有误，已改用内置的搜索引擎设置"},
      {"[360]\nhost=ftp://so.com\n", "engines.ini 第2行有误，已改用内置的搜索引擎设置"},
      // A file cut off while it was written.
      {"[baidu]\nhost=https://www.baidu.com\n[bi",
       "engines.ini 第3行有误，已改用内置的搜索引擎设置"},
      // A NUL byte hides the rest of the file from the reader.
      {"[baidu]\r\nnextpage=a\0|b\r\n"s, "engines.ini 第2行有误，已改用内置的搜索引擎设置"},
      {"[baidu]\rhost=https://a\n\0"s, "engines.ini 第3行有误，已改用内置的搜索引擎设置"},
  };
  for (const auto& d : damaged) {
    const EngineOverrides result = ApplyEngineOverrides(BuiltIn(), d.content);
    EXPECT_EQ(result.problem, d.problem) << d.content;
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(SameRow(result.table[i], BuiltIn()[i])) << d.content;
  }
}

TEST(EngineOverrides, ByteOrderMarkAndLongValuesServe) {
  std::vector<std::string> many;
  std::string joined;
  for (int i = 0; i < 400; ++i) {
    many.push_back("下一页" + std::to_string(i));
    joined += many.back() + "|";
  }
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {"\xEF\xBB\xBF[baidu]\r\nnextpage=下一页>\r\n", {"下一页>"}},
      {"[baidu]\r\nnextpage=" + joined + "\r\n", many},
      {Utf8ToGbk("[baidu]\r\nnextpage=" + joined), many},
  };
  for (const auto& [content, texts] : cases) {
    const EngineOverrides applied = ApplyEngineOverrides(BuiltIn(), content);
    EXPECT_EQ(applied.problem, "") << content.size();
    EXPECT_EQ(applied.table[0].nextPageTexts, texts) << content.size();
  }
}

TEST(EngineOverrides, LoadedFromTheProgramFolder) {
  TempDir folder;
  EXPECT_EQ(LoadEngineOverrides(BuiltIn(), folder.path()).problem, "");  // no file, no change
  folder.Write("engines.ini", "[sougou]\r\npagekey=&p=\r\n");
  EXPECT_EQ(LoadEngineOverrides(BuiltIn(), folder.path()).table[1].pageKey, "&p=");
  std::filesystem::remove(folder.path() / "engines.ini");
  std::filesystem::create_directory(folder.path() / "engines.ini");
  const EngineOverrides unreadable = LoadEngineOverrides(BuiltIn(), folder.path());
  EXPECT_NE(unreadable.problem.find("engines.ini 无法读取"), std::string::npos);
  EXPECT_TRUE(SameRow(unreadable.table[1], BuiltIn()[1]));
}

TEST(EngineOverrides, CooldownKey) {
  const std::pair<const char*, int> cases[] = {{"", 0},
                                               {"cooldown=30", 30},
                                               {"cooldown=-5", 0},
                                               {"cooldown=99999", 3600},
                                               {"cooldown=x", 0}};
  for (const auto& [line, seconds] : cases) {
    EXPECT_EQ(ReadCooldownSeconds(IniFile(std::string("[config]\r\n") + line + "\r\n")), seconds)
        << line;
  }
}

TEST(RunTuning, SiteVisitDaysAndRestWithinTheirRanges) {
  const struct {
    const char* lines;
    int days;
    long long restMs;
  } cases[] = {{"", 30, 2000},
               {"revisitdays=0\r\nsiteinterval=5", 0, 5000},
               {"revisitdays=-4\r\nsiteinterval=0", 0, 1000},
               {"revisitdays=99999\r\nsiteinterval=99999", 3650, 600000},
               {"revisitdays=x\r\nsiteinterval=", 30, 2000}};
  for (const auto& c : cases) {
    const VisitTuning tuning = ReadVisitTuning(IniFile(std::string("[config]\r\n") + c.lines));
    EXPECT_EQ(tuning.revisitDays, c.days) << c.lines;
    EXPECT_EQ(tuning.politeness.perHostIntervalMs, c.restMs) << c.lines;
  }
}

}  // namespace
}  // namespace brivano::testing
