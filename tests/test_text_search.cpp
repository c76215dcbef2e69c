// Character-safe search, replace-all, case, runs and trims.
#include <gtest/gtest.h>

#include <random>

#include "base/text.h"

namespace brivano {
namespace {

std::string G(std::string_view utf8) {
  return Utf8ToGbk(utf8);
}

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
