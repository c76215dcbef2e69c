// Mobile numbers: runs of exactly 11 digits that start at the first occurrence
// of one of six two-digit prefixes.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "extract/buyer_list.h"

namespace brivano {

void ExtractMobilesFromLine(std::string_view line, BuyerSink& sink);
void ExtractMobiles(std::span<const std::string> pageLines, BuyerSink& sink);

}  // namespace brivano
