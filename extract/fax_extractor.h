// Fax numbers, and telephone numbers alike: every number behind a fax or
// telephone label of a line (电话, 传真, 座机, 热线, Tel, Fax, T:, ℡, ...),
// in the form it is recorded in (extract/fax_numbers.h). A label alone at
// the end of its line takes the number that leads the next non-blank line.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "base/buyer_list.h"
#include "extract/extractors.h"

namespace brivano {

// The first byte of `text` at which two bytes stand that a fax or telephone
// label holds (extract/fax_screen.cpp): "f", "te", "ph", "ho", "t:" or "m:"
// in either case, 话, 話, 真, ℡, or the two bytes across the middle of 热线,
// 座机, 联系方式 and the other Chinese words. Bytes, not characters, so a
// hit may stand across characters; npos when there is none. A line without
// one yields nothing, so a caller may pass over such text unseen.
std::size_t FindFaxLabelByte(std::string_view text);
// The same, or the first NUL byte if that comes first: the screen of a whole
// text, which ends at its first NUL.
std::size_t FindFaxLabelOrNul(std::string_view text);

void ExtractFaxesFromLine(std::string_view line, BuyerSink& sink);
// The same; true when the line ends with a label that no number follows, or
// with a label's numbers that more on the line below may continue.
bool ExtractFaxesFromLineWaiting(std::string_view line, BuyerSink& sink);
// The numbers that lead `line`, read as if a label stood in front: the line
// below one that ends with a label or with a label's numbers. A blank line
// leaves the label waiting, and so does a line of numbers and nothing else.
BelowLabel ExtractFaxesBelowLabel(std::string_view line, BuyerSink& sink);

// The lines of a page, a label at the end of one taking the number below it.
void ExtractFaxes(std::span<const std::string> pageLines, BuyerSink& sink);

}  // namespace brivano
