// Mobile numbers: runs of exactly 11 digits that start at the first occurrence
// of one of six two-digit prefixes.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "base/buyer_list.h"

namespace brivano {

void ExtractMobilesFromLine(std::string_view line, BuyerSink& sink);

// The first byte that a number could start at ("1"), or npos: a text
// without one holds no mobile number.
std::size_t FindMobileMarkerByte(std::string_view text);
// The same, or the first NUL byte if that comes first: the screen of a whole
// text, which ends at its first NUL.
std::size_t FindMobileMarkerOrNul(std::string_view text);
void ExtractMobiles(std::span<const std::string> pageLines, BuyerSink& sink);

}  // namespace brivano
