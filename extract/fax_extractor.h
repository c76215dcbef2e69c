// Fax numbers, and telephone numbers alike: every number behind a fax or
// telephone label of a line (电话, 传真, 座机, 热线, Tel, Fax, ...), in the
// national form; a mobile number behind a label stays the mobile number.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "base/buyer_list.h"

namespace brivano {

// The first byte of `text` at which a fax or telephone label could begin: an
// "F" or "f", "tel", "pho" or "hot" in either case, or the bytes of 传真,
// 电话, 座机, 固话, 总机, 热线 or 专线. Bytes, not characters, so a hit
// may stand across characters; npos when there is none. A line without one
// yields nothing, so a caller may pass over such text unseen.
std::size_t FindFaxLabelByte(std::string_view text);
// The same, or the first NUL byte if that comes first: the screen of a whole
// text, which ends at its first NUL.
std::size_t FindFaxLabelOrNul(std::string_view text);

void ExtractFaxesFromLine(std::string_view line, BuyerSink& sink);
void ExtractFaxes(std::span<const std::string> pageLines, BuyerSink& sink);

}  // namespace brivano
