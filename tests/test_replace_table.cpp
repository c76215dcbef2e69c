// Replace tables: rows in order, and the quick tests that skip rows.
#include <gtest/gtest.h>

#include "base/text.h"

namespace brivano {
namespace {

std::string G(std::string_view utf8) {
  return Utf8ToGbk(utf8);
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
