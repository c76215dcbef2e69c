// QQ numbers: 5 to 10 digits right behind the marker "QQ", once labels,
// colons, dashes and blanks between the two have been cleaned away.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "extract/buyer_list.h"

namespace brivano {

void ExtractQQNumbersFromLine(std::string_view line, BuyerSink& sink);
void ExtractQQNumbers(std::span<const std::string> pageLines, BuyerSink& sink);

}  // namespace brivano
