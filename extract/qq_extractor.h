// QQ numbers: 5 to 10 digits right behind the marker "QQ", once labels,
// colons, dashes and blanks between the two have been cleaned away.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "base/buyer_list.h"

namespace brivano {

// The first byte of "QQ", "Qq", "qQ" or "qq" in `text` (bytes, so a hit may
// begin with the second byte of a Chinese character), or npos. Every marker,
// and every QQ-space address, holds one: a line without one yields nothing,
// so a caller may pass over such text unseen.
std::size_t FindQQMarkerByte(std::string_view text);
// The same, or the first NUL byte if that comes first: the screen of a whole
// text, which ends at its first NUL.
std::size_t FindQQMarkerOrNul(std::string_view text);

void ExtractQQNumbersFromLine(std::string_view line, BuyerSink& sink);
void ExtractQQNumbers(std::span<const std::string> pageLines, BuyerSink& sink);

}  // namespace brivano
