// Text as lines: as the desktop's multi-line text box splits it, and with
// every line break written as CR LF.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace brivano {

// The text up to its first NUL byte, with every line break (CR LF, a lone CR,
// a lone LF) written as CR LF. Nothing else changes: a text that ends with a
// line break still ends with one, and one without still ends without.
std::string NormalizeLineBreaks(std::string_view text);

// The 1-based line on which the byte at `at` stands: CR LF, a lone CR and a
// lone LF each end a line, as SplitTextLines counts them.
std::size_t LineOfByte(std::string_view text, std::size_t at);

// Splits a text as the desktop's multi-line text box does: the text ends at
// its first NUL byte; CR LF, a lone CR and a lone LF each end a line; an empty
// last line does not count; every line is cut to its first `maxLineBytes`.
std::vector<std::string> SplitTextLines(std::string_view text, std::size_t maxLineBytes = 4096);

// Calls visit(line) for every line as SplitTextLines would produce it, without
// copying. Lines are views into `text`.
template <typename Visit>
void ForEachTextLine(std::string_view text, std::size_t maxLineBytes, Visit&& visit);

// A GBK line of any length as pieces of at most `maxBytes` (a footer of
// hundreds of links, a table row of hundreds of cells), none of them lost: a
// piece ends behind the last blank or tab of its last `lookBack` bytes, so
// that no value written without blanks is cut in two, else at a character
// boundary. A line within the limit is one piece.
std::vector<std::string_view> SplitLongLine(std::string_view line, std::size_t maxBytes,
                                            std::size_t lookBack = 255);

}  // namespace brivano

#include "base/text_lines.inl"
