#include <gtest/gtest.h>

#include "base/text.h"
#include "search/engine_table.h"
#include "search/query_encoding.h"
#include "search/result_address.h"

namespace brivano {
namespace {

std::string FormEncode(std::string_view gbk) {
  FormEncoder encoder;
  encoder.input = std::string(gbk);
  return encoder.Encode();
}

TEST(QueryEncoding, FormEncoding) {
  struct Case {
    std::string input, expected;
  } cases[] = {
      {"", ""},
      {"a-b_c.d*e f", "a%2Db%5Fc%2Ed%2Ae+f"},
      {Utf8ToGbk("深圳 旅行社 手机:"), "%C9%EE%DB%DA+%C2%C3%D0%D0%C9%E7+%CA%D6%BB%FA%3A"},
      {"\t", "%09"},
      {std::string("\0\x01\xFF", 3), "%00%01%FF"},
      {"AZaz09", "AZaz09"},
      {"~!@#$%^&()+=", "%7E%21%40%23%24%25%5E%26%28%29%2B%3D"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormEncode(c.input), c.expected) << c.input;
}

TEST(QueryEncoding, EscapeAllBytesAndUtf8) {
  EXPECT_EQ(EscapeAllBytes(""), "");
  EXPECT_EQ(EscapeAllBytes("aZ0 "), "%61%5A%30%20");
  EXPECT_EQ(EscapeAllBytes("\t"), "%09");
  EXPECT_EQ(EscapeQueryAsUtf8(""), "");
  EXPECT_EQ(EscapeQueryAsUtf8(Utf8ToGbk("深圳 旅行社 手机:")),
            "%E6%B7%B1%E5%9C%B3%20%E6%97%85%E8%A1%8C%E7%A4%BE%20%E6%89%8B%E6%9C%BA%3A");
}

TEST(QueryEncoding, OnErrorIsNotCalledForOrdinaryText) {
  FormEncoder encoder;
  int errors = 0;
  encoder.OnError = [&](FormEncoder&, const std::string&, const std::string&) { ++errors; };
  encoder.input = std::string(100000, '\xB0');
  EXPECT_EQ(encoder.Encode().size(), 300000u);
  EXPECT_EQ(errors, 0);
}

TEST(Query, TrimsLineAndMark) {
  const std::string line = Utf8ToGbk("深圳 旅行社");
  EXPECT_EQ(BuildQuery(line, Utf8ToGbk("手机:")), Utf8ToGbk("深圳 旅行社 手机:"));
  EXPECT_EQ(BuildQuery(line, ""), line);
  EXPECT_EQ(BuildQuery(line, "  \t"), line);
  EXPECT_EQ(BuildQuery("  a\x01 ", " m "), "a\x01  m");  // inner blanks stay
  EXPECT_EQ(BuildQuery("   ", Utf8ToGbk("手机:")), Utf8ToGbk("手机:"));
}

TEST(ResultAddress, BaseAddressesOfTheRealEngines) {
  const std::string query = Utf8ToGbk("深圳 旅行社 手机:");
  struct Case {
    Engine engine;
    const char* firstPage;
    const char* thirdPage;
  } cases[] = {
      {Engine::Baidu,
       "https://www.baidu.com/s?wd=%C9%EE%DB%DA+%C2%C3%D0%D0%C9%E7+%CA%D6%BB%FA%3A&pn=0",
       "https://www.baidu.com/s?wd=%C9%EE%DB%DA+%C2%C3%D0%D0%C9%E7+%CA%D6%BB%FA%3A&pn=20"},
      {Engine::Sogou,
       "http://www.sogou.com/tx?query=%C9%EE%DB%DA+%C2%C3%D0%D0%C9%E7+%CA%D6%BB%FA%3A&page=1",
       "http://www.sogou.com/tx?query=%C9%EE%DB%DA+%C2%C3%D0%D0%C9%E7+%CA%D6%BB%FA%3A&page=3"},
      {Engine::So360,
       "https://www.so.com/"
       "s?q=%E6%B7%B1%E5%9C%B3%20%E6%97%85%E8%A1%8C%E7%A4%BE%20%E6%89%8B%E6%9C%BA%3A&pn=1",
       "https://www.so.com/"
       "s?q=%E6%B7%B1%E5%9C%B3%20%E6%97%85%E8%A1%8C%E7%A4%BE%20%E6%89%8B%E6%9C%BA%3A&pn=3"},
      {Engine::Bing,
       "http://cn.bing.com/"
       "search?q=%E6%B7%B1%E5%9C%B3%20%E6%97%85%E8%A1%8C%E7%A4%BE%20%E6%89%8B%E6%9C%BA%3A&first=1",
       "http://cn.bing.com/"
       "search?q=%E6%B7%B1%E5%9C%B3%20%E6%97%85%E8%A1%8C%E7%A4%BE%20%E6%89%8B%E6%9C%BA%3A&first="
       "21"},
  };
  for (const auto& c : cases) {
    const EngineRow& row = DefaultEngineTable()[static_cast<int>(c.engine)];
    EXPECT_EQ(ResultPageAddress(row, query, 1), c.firstPage);
    EXPECT_EQ(ResultPageAddress(row, query, 3), c.thirdPage);
  }
}

TEST(ResultAddress, TableCanPointAtALocalServer) {
  const EngineTable local = EngineTableAt("http://127.0.0.1:8080");
  EXPECT_EQ(ResultPageAddress(local[0], "a", 2), "http://127.0.0.1:8080/s?wd=a&pn=10");
  EXPECT_EQ(local[3].domainLabel, "bing.com");
  EXPECT_EQ(EngineStatusText(local[2]), "正在360(so.com)引擎搜索买家...");
}

}  // namespace
}  // namespace brivano
