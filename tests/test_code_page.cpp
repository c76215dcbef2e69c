// GBK structure and the conversions at the edges.
#include <gtest/gtest.h>

#include "base/code_page.h"

namespace brivano {
namespace {

std::string G(std::string_view utf8) {
  return Utf8ToGbk(utf8);
}

TEST(GbkConversion, KnownCharactersRoundTrip) {
  EXPECT_EQ(G("深圳 旅行社"), "\xC9\xEE\xDB\xDA \xC2\xC3\xD0\xD0\xC9\xE7");
  EXPECT_EQ(G("手机:"), "\xCA\xD6\xBB\xFA:");
  EXPECT_EQ(GbkToUtf8("\xC9\xEE\xDB\xDA"), "深圳");
  EXPECT_EQ(G("€"), "\x80");  // the single-byte euro of code page 936
  EXPECT_EQ(G("　"), "\xA1\xA1");
  EXPECT_EQ(G("ＱＱ１２"), "\xA3\xD1\xA3\xD1\xA3\xB1\xA3\xB2");
  EXPECT_EQ(G("abc\t\r\n"), "abc\t\r\n");
  EXPECT_EQ(G(""), "");
}

TEST(GbkConversion, UnrepresentableBecomesQuestionMark) {
  struct Case {
    const char* utf8;
    const char* gbk;
  } cases[] = {
      {"😀", "?"},  // outside the BMP: no four-byte GB18030 form
      {"a😀b", "a?b"},
      {"한", "?"},    // Hangul syllables are not in GBK
      {"\xFF", "?"},  // malformed UTF-8
      {"\xE6\xB7",
       "?"
       "?"},                    // truncated sequence: each byte is its own error
      {"\xC0\xAF", "??"},       // overlong
      {"\xED\xA0\x80", "???"},  // encoded surrogate
  };
  for (const auto& c : cases) EXPECT_EQ(G(c.utf8), c.gbk) << c.utf8;
}

TEST(GbkConversion, InvalidGbkBecomesQuestionMark) {
  EXPECT_EQ(GbkToUtf8("\x81"), "?");  // lone lead byte at the end
  EXPECT_EQ(GbkToUtf8("\x81"
                      "0"),
            "?0");                               // lead byte before a digit
  EXPECT_EQ(GbkToUtf8("\x81\x7F"), "?\x7F");     // 0x7F is no second byte
  EXPECT_EQ(GbkToUtf8("\xFF"), "\xEF\xA3\xB5");  // 0xFF maps to U+F8F5 in code page 936
}

TEST(GbkConversion, NeverEmitsFourByteForms) {
  // Every BMP character converts to one or two bytes, and a digit byte never
  // appears unless the character itself is a digit.
  std::string all;
  for (char32_t cp = 0x80; cp < 0x10000; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    std::string utf8;
    if (cp < 0x800) {
      utf8.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    } else {
      utf8.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      utf8.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    }
    utf8.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    const std::string gbk = G(utf8);
    ASSERT_LE(gbk.size(), 2u) << std::hex << static_cast<int>(cp);
    if (gbk.size() == 2) {
      ASSERT_TRUE(IsGbkLeadByte(gbk[0]) && IsGbkTrailByte(gbk[1]))
          << std::hex << static_cast<int>(cp);
      ASSERT_EQ(GbkToUtf8(gbk), utf8);
    }
  }
}

TEST(GbkStructure, CharLength) {
  const std::string s =
      "a\xC9\xEE"
      "b\x81";
  EXPECT_EQ(GbkCharLength(s, 0), 1u);
  EXPECT_EQ(GbkCharLength(s, 1), 2u);
  EXPECT_EQ(GbkCharLength(s, 3), 1u);
  EXPECT_EQ(GbkCharLength(s, 4), 1u);  // a lead byte at the end stands alone
}

// "翠" is 0xB4 0xE4; "篇" is 0xC6 0xAA; "丂" is 0x81 0x40 (second byte "@");
// "睠" is 0xB2 0x51 ... we build the second-byte cases from raw bytes.
TEST(GbkToUtf16, ConvertsAsGbkToUtf8Does) {
  struct Case {
    std::string gbk;
    std::u16string utf16;
  } cases[] = {
      {G("深圳 旅行社"), u"深圳 旅行社"},
      {G("ＱＱ１２€"), u"ＱＱ１２€"},
      {"abc\r\n", u"abc\r\n"},
      {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
      {"\xFF", u"\uF8F5"},  // code page 936 gives it a private-use character
      {"\x81", u"?"},       // a lead byte at the end
      {"\x81 ", u"? "},     // a lead byte before a byte that cannot follow it
      {"", u""},
  };
  std::u16string out = u"left over";
  for (const Case& c : cases) {
    GbkToUtf16(c.gbk, out);
    EXPECT_TRUE(out == c.utf16) << c.gbk;
  }
}

}  // namespace
}  // namespace brivano
