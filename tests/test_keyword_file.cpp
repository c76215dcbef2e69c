// The keyword file's encodings: byte-order marks, UTF-16, GBK or UTF-8 by
// weighing the text, the NUL that ends the content, and encodings chosen by
// the user.
#include <gtest/gtest.h>

#include <cerrno>

#include "base/text.h"
#include "files/text_file.h"
#include "testing/cli_runner.h"

namespace brivano::testing {
namespace {

std::string Utf16(std::u16string_view text, bool bigEndian) {
  std::string bytes;
  for (const char16_t unit : text) {
    const auto high = static_cast<char>(unit >> 8);
    const auto low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

TEST(KeywordFile, Encodings) {
  // "石狮 女装 / 石狮 童装 / 眉山 食品" in GBK: every character is a valid
  // two-byte UTF-8 sequence too.
  const std::string gbkAlsoUtf8 =
      "\xCA\xAF\xCA\xA8 \xC5\xAE\xD7\xB0\n\xCA\xAF\xCA\xA8 \xCD\xAF\xD7\xB0\n"
      "\xC3\xBC\xC9\xBD \xCA\xB3\xC6\xB7\n";
  ASSERT_TRUE(IsValidUtf8(gbkAlsoUtf8));
  const std::string nul(1, '\0');
  using E = TextEncoding;
  const auto G = [](std::string_view utf8) { return Utf8ToGbk(utf8); };
  struct Case {
    std::string bytes;
    TextEncoding encoding;
    std::string gbk;
    std::string_view readAs;
    std::size_t nulLine = 0;  // a NUL cut off what followed it
  } cases[] = {
      {gbkAlsoUtf8, E::Auto, gbkAlsoUtf8, "GBK"},
      {G("深圳 旅行社\r\n"), E::Auto, G("深圳 旅行社\r\n"), "GBK"},
      {"深圳 旅行社\n北京 酒店\n", E::Auto, G("深圳 旅行社\n北京 酒店\n"), "UTF-8"},
      {"丽水 机械\n", E::Auto, G("丽水 机械\n"), "UTF-8"},  // four common hanzi as GBK
      {"深圳 旅行社\n北京\xFF 酒店\n", E::Auto, G("深圳 旅行社\n北京? 酒店\n"), "UTF-8"},
      {"北京 \xE6\x9C\xFF\xBA械\n", E::Auto, G("北京 ????械\n"), "UTF-8"},  // within 机
      {"\xEF\xBB\xBF深圳 旅行社\n", E::Auto, G("深圳 旅行社\n"), "UTF-8"},
      {Utf16(u"\uFEFF深圳 旅行社\r\n😀\xD800z", false), E::Auto, G("深圳 旅行社\r\n??z"),
       "UTF-16LE"},
      {Utf16(u"\uFEFF深圳 旅行社\n", true), E::Auto, G("深圳 旅行社\n"), "UTF-16BE"},
      {"shenzhen hotel\n", E::Auto, "shenzhen hotel\n", "ASCII"},
      {"", E::Auto, "", "ASCII"},
      {"hotel\n" + nul + "深圳", E::Auto, "hotel\n", "ASCII", 2},  // only the content is weighed
      {"深圳\n" + nul + "北京", E::Auto, G("深圳\n"), "UTF-8", 2},
      {"a, b" + nul + "c, d\r\ne", E::Auto, "a, b", "ASCII", 1},
      {"a\r\nb\r\n" + nul + nul, E::Auto, "a\r\nb\r\n", "ASCII"},  // padding
      {Utf16(u"\uFEFFab\n", false) + nul + nul + "c", E::Auto, "ab\n", "UTF-16LE", 2},
      {std::string("\xFF\xFE", 2) + nul + nul + Utf16(u"深", false) + nul + nul + "\n" +
           std::string(3, '\0'),
       E::Auto, G("深\n"), "UTF-32LE"},
      {std::string(2, '\0') + "\xFE\xFF" + nul + nul + "\xD8\x3D" + nul + nul + "\xDE\x00", E::Auto,
       "??", "UTF-32BE"},  // code points that are no character
      {Utf16(u"ab", false) + "c", E::Utf16, "ab?", "UTF-16LE"},  // and half a unit
      {Utf16(u"\uFEFFab", true), E::Utf16, "ab", "UTF-16BE"},
      {gbkAlsoUtf8, E::Utf8, G("?? ??\n?? ??\nü? ??\n"), "UTF-8"},
      {"\xEF\xBB\xBF深圳", E::Gbk, "\xEF\xBB\xBF深圳", "GBK"},  // the bytes as they are
  };
  TempDir folder;
  for (const Case& c : cases) {
    const TextFile file = ReadTextFile(folder.Write("keywords.txt", c.bytes), c.encoding);
    EXPECT_EQ(file.gbk, c.gbk) << GbkToUtf8(c.gbk);
    EXPECT_EQ(file.encoding, c.readAs) << GbkToUtf8(c.gbk);
    EXPECT_EQ(file.nulLine, c.nulLine) << GbkToUtf8(c.gbk);
  }
  EXPECT_EQ(ReadTextFile(folder.path() / "none.txt", E::Auto).error, ENOENT);
}

}  // namespace
}  // namespace brivano::testing
