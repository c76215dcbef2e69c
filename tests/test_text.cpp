#include <gtest/gtest.h>

#include <random>

#include "extract/integer_text.h"
#include "extract/text.h"

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
TEST(FindText, NeverMatchesOnSecondByte) {
  struct Case {
    std::string text, needle;
    std::size_t expected;
  } cases[] = {
      {"abc", "b", 1},
      {"abc", "", 0},
      {"abc", "d", std::string::npos},
      {"\x81\x40"
       "@",
       "@", 2},  // first "@" is half of a character
      {"\x81\x40", "@", std::string::npos},
      {"\xB0\x51"
       "Q",
       "Q", 2},  // "Q" as a second byte
      {"\xB0\x51\xB0\x51", "Q", std::string::npos},
      {"\xC6\xAA\xAA", "\xAA", 2},  // high byte after a whole character
      {"x\xCF\xC2\xD2\xBB\xD2\xB3", "\xCF\xC2\xD2\xBB\xD2\xB3", 1},
      // Misaligned occurrence of 下一页 straddling characters.
      {"\x81\xCF\xC2\xD2\xBB\xD2\xB3", "\xCF\xC2\xD2\xBB\xD2\xB3", std::string::npos},
  };
  for (const auto& c : cases) EXPECT_EQ(FindText(c.text, c.needle), c.expected) << c.text;
}

TEST(FindText, IgnoreCase) {
  EXPECT_EQ(FindTextIgnoreCase("xxFaX:", "fax"), 2u);
  EXPECT_EQ(FindTextIgnoreCase("\xB0\x51q", "Q"), 2u);
  // A double-byte character is compared exactly: trail 0x41 ("A") and 0x61
  // ("a") are different characters.
  EXPECT_EQ(FindTextIgnoreCase("\xB0\x61", "\xB0\x41"), std::string::npos);
  EXPECT_EQ(FindTextIgnoreCase("ab", "abc"), std::string::npos);
}

TEST(ReplaceAll, Table) {
  struct Case {
    std::string text, pattern, replacement, expected;
  } cases[] = {
      {"    ", "  ", " ", "  "},     // four blanks become two
      {"   ", "  ", " ", "  "},      // three become two
      {"aXbxc", "x", "-", "a-b-c"},  // case ignored
      {"aaa", "aa", "a", "aa"},      // no overlap, no rescan
      {"abc", "", "z", "abc"},       // empty pattern changes nothing
      {"a#b", "#", "", "ab"},        // empty replacement deletes
      {"\x81\x40"
       "@",
       "@", "#", "\x81\x40#"},
      {"\xB0\x71Q", "q", "x", "\xB0\x71x"},  // second byte "q" stays
      {"QQ号:QQ", "qq", "", "号:"},
  };
  for (auto& c : cases) {
    if (c.text == "QQ号:QQ") {
      c.text = G(c.text);
      c.expected = G(c.expected);
    }
    EXPECT_EQ(ReplaceAllIgnoreCase(c.text, c.pattern, c.replacement), c.expected) << c.text;
  }
}

TEST(LowerAscii, KeepsDoubleByteCharacters) {
  EXPECT_EQ(LowerAscii("ABC.De"), "abc.de");
  EXPECT_EQ(LowerAscii("\xB0\x41Z"), "\xB0\x41z");
  EXPECT_EQ(LowerAscii("Z\x81"), "z\x81");
}

TEST(Runs, DigitsAndCuts) {
  EXPECT_EQ(RunLength("123abc", kDigits), 3u);
  EXPECT_EQ(RunLength("abc", kDigits), 0u);
  EXPECT_EQ(RunLength("", kDigits), 0u);
  EXPECT_EQ(RunLength("12\xA3\xB1", kDigits), 2u);  // a full-width digit ends the run
  const ByteClass letters("ab");
  EXPECT_EQ(RunLength("ab\xB0"
                      "a",
                      letters),
            2u);
  const std::string long300(300, 'x');
  EXPECT_EQ(CutTo(long300).size(), 255u);
  EXPECT_EQ(CutTo("short").size(), 5u);
}

TEST(TrimBlanks, RemovesControlBytesAndBlanks) {
  EXPECT_EQ(TrimBlanks("  \t\x01"
                       "a b\r\n "),
            "a b");
  EXPECT_EQ(TrimBlanks(" \x20\x1F "), "");
  EXPECT_EQ(TrimBlanks("\xA1\xA1"
                       "a"),
            "\xA1\xA1"
            "a");  // full-width blank stays
}

TEST(SplitTextLines, Table) {
  using V = std::vector<std::string>;
  struct Case {
    std::string text;
    V lines;
  } cases[] = {
      {"", V{}},
      {"a", V{"a"}},
      {"a\r\nb", V{"a", "b"}},
      {"a\r\nb\r\n", V{"a", "b"}},  // an empty last line does not count
      {"a\r\n\r\n", V{"a", ""}},
      {"\r\n", V{""}},
      {"a\rb\nc\r\n\nd", V{"a", "b", "c", "", "d"}},
      {"a\n\rb", V{"a", "", "b"}},
      {std::string("a\0b\r\nc", 6), V{"a"}},  // NUL ends the text
      {std::string("\0abc", 4), V{}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitTextLines(c.text), c.lines);
  const std::string longLine(5000, 'x');
  EXPECT_EQ(SplitTextLines(longLine + "\r\ny")[0].size(), 4096u);
  EXPECT_EQ(SplitTextLines(std::string(100000, '\r')).size(), 100000u);
}

TEST(IntegerText, RuntimeConversion) {
  struct Case {
    const char* text;
    std::optional<std::int32_t> value;
  } cases[] = {
      {"0", 0},
      {"12", 12},
      {"-5", -5},
      {"+7", 7},
      {"  42", 42},
      {"$10", 16},
      {"0x10", 16},
      {"0X1f", 31},
      {"-$10", -16},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"2147483648", std::nullopt},
      {"99999999999999999999999", std::nullopt},
      {"0xFFFFFFFF", -1},
      {"0x100000000", std::nullopt},
      {"", std::nullopt},
      {" ", std::nullopt},
      {"0x", std::nullopt},
      {"$", std::nullopt},
      {"-", std::nullopt},
      {"12 ", std::nullopt},
      {"1a", std::nullopt},
      {"abc", std::nullopt},
      {"１２", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseIntegerText(c.text), c.value) << c.text;
  EXPECT_EQ(NotAnIntegerMessage("abc"), "'abc' is not a valid integer value");
}

TEST(ReplaceTable, RowsRunInOrderOnTheResultOfTheOneBefore) {
  constexpr ReplaceRow kRows[] = {
      {"电话", "传真"}, {"传真：", "FAX:"}, {"fax ", "FAX:"}, {"  ", " "}, {" ", ""},
  };
  const ReplaceTable table(kRows);
  EXPECT_EQ(table.size(), 5u);
  struct Case {
    std::string text, expected;
  } cases[] = {
      {"电话：1 2", "FAX:12"},  // row 2 sees what row 1 made
      {"Fax  1", "FAX:1"},      // case ignored; row 3 before the blank rows
      {"a    b", "ab"},         // four blanks: two after row 4, none after row 5
      {"无号码", "无号码"},     // no row matches: the text stays
      {"", ""},
  };
  for (const auto& c : cases) {
    std::string text = G(c.text);
    table.Apply(text);
    EXPECT_EQ(text, G(c.expected)) << c.text;
  }
  // Rows are GBK and never match from a second byte: "电话" is B5E7 BBB0,
  // and here its bytes begin on the second byte of the character B5B5.
  std::string straddling = "\xB5\xB5\xE7\xBB\xB0";
  table.Apply(straddling);
  EXPECT_EQ(straddling, "\xB5\xB5\xE7\xBB\xB0");
}

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

TEST(NormalizeLineBreaks, EveryBreakBecomesCrLf) {
  struct Case {
    std::string text, normalized;
  } cases[] = {
      {"a\nb", "a\r\nb"},
      {"a\rb\r", "a\r\nb\r\n"},
      {"a\r\nb\r\n", "a\r\nb\r\n"},
      {"\n\r\r\n\n", "\r\n\r\n\r\n\r\n"},  // LF CR is two breaks
      {std::string("a\nb\0c\n", 6), "a\r\nb"},
      {"", ""},
      {"no break", "no break"},
  };
  for (const Case& c : cases) EXPECT_EQ(NormalizeLineBreaks(c.text), c.normalized) << c.text;
}

// The table passes over rows by quick byte tests; none of them may hold back
// a change that the row would make.
TEST(ReplaceTable, QuickTestsHoldBackNoChange) {
  constexpr ReplaceRow kRows[] = {
      {"qq", "QQ"},      // changes letter case alone
      {"QQ-", "QQ"},     // has letters
      {"：", ""},        // double-byte, no letters
      {"!", "#"},        // makes the byte of the next row
      {"#", "%"},        // whose byte the text did not have
      {"FAX:", "FAX:"},  // case alone, for every case of its letters
  };
  const ReplaceTable table(kRows);
  struct Case {
    std::string text, expected;
  } cases[] = {
      {"QQ", "QQ"},
      {"qQ Qq qq", "QQ QQ QQ"},
      {"Qq-1", "QQ1"},
      {"QQ：1", "QQ1"},
      {"fax:1 Fax:2 FAX:3", "FAX:1 FAX:2 FAX:3"},
      {"!", "%"},
  };
  for (const auto& c : cases) {
    std::string text = G(c.text);
    table.Apply(text);
    EXPECT_EQ(text, G(c.expected)) << c.text;
  }
  std::string secondByte = "\xB0\x71q";  // "q" behind a second-byte "q": no pair
  table.Apply(secondByte);
  EXPECT_EQ(secondByte, "\xB0\x71q");
}

}  // namespace
}  // namespace brivano

namespace brivano {
namespace {

// The plain definition: walk the text character by character and compare at
// every character start, both ends of a match falling between characters.
std::size_t ReferenceFind(std::string_view text, std::string_view needle, bool ignoreCase) {
  auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
  std::vector<bool> starts(text.size() + 1, false);
  for (std::size_t pos = 0; pos < text.size(); pos += GbkCharLength(text, pos)) starts[pos] = true;
  starts[text.size()] = true;
  for (std::size_t pos = 0; pos + needle.size() <= text.size(); ++pos) {
    if (!starts[pos] || !starts[pos + needle.size()]) continue;
    bool same = true;
    for (std::size_t k = 0; k < needle.size() && same; k += GbkCharLength(needle, k)) {
      if (GbkCharLength(needle, k) == 2) {
        same = text.substr(pos + k, 2) == needle.substr(k, 2);
      } else {
        same = ignoreCase ? lower(text[pos + k]) == lower(needle[k]) : text[pos + k] == needle[k];
      }
    }
    if (same) return pos;
  }
  return std::string_view::npos;
}

TEST(FindText, AgreesWithThePlainDefinitionOnRandomText) {
  const char alphabet[] = {'a',    'A',    'q',    'Q',    '@',    '1',   ' ',
                           '\x81', '\xB0', '\xA3', '\x40', '\x51', '\x71'};
  std::mt19937 random(3);
  for (int round = 0; round < 20000; ++round) {
    std::string text, needle;
    for (std::size_t i = random() % 40; i > 0; --i)
      text.push_back(alphabet[random() % std::size(alphabet)]);
    for (std::size_t i = 1 + random() % 3; i > 0; --i)
      needle.push_back(alphabet[random() % std::size(alphabet)]);
    ASSERT_EQ(FindText(text, needle), ReferenceFind(text, needle, false)) << round;
    ASSERT_EQ(FindTextIgnoreCase(text, needle), ReferenceFind(text, needle, true)) << round;
  }
  // A needle ending in a lone first byte never takes half a character.
  EXPECT_EQ(FindText("\x01\xB0\x8F\x01", "\xB0"), std::string::npos);
  EXPECT_EQ(ReplaceAllIgnoreCase("\x01\xB0\x8F\x01", "\xB0", ""), "\x01\xB0\x8F\x01");
  EXPECT_EQ(FindText("\x01\xB0"
                     "1",
                     "\xB0"),
            1u);  // a lone first byte before a digit is whole
}

}  // namespace
}  // namespace brivano
