// Lines as the desktop text box makes them, and CR LF line breaks.
#include <gtest/gtest.h>

#include "base/text_lines.h"

namespace brivano {
namespace {

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

TEST(SplitLongLine, PiecesLoseNothingAndCutNoValue) {
  using V = std::vector<std::string_view>;
  struct Case {
    std::string line;
    std::size_t max;
    V pieces;
  } cases[] = {
      {"abc", 4, V{"abc"}},
      {"ab cdef", 6, V{"ab ", "cdef"}},  // behind the last blank within the limit
      {"abcdefgh", 3, V{"abc", "def", "gh"}},
      {"a\xB5\xE7\xBB\xB0", 2, V{"a", "\xB5\xE7", "\xBB\xB0"}},  // never half of 电话
      {"a\tb 1380000", 9, V{"a\tb ", "1380000"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitLongLine(c.line, c.max), c.pieces) << c.line;
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
}  // namespace
}  // namespace brivano
