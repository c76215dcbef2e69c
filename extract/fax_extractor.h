// Fax numbers, and telephone numbers alike: the number behind the first fax
// or telephone label of a line, normalised to the national form.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "extract/buyer_list.h"

namespace brivano {

void ExtractFaxesFromLine(std::string_view line, BuyerSink& sink);
void ExtractFaxes(std::span<const std::string> pageLines, BuyerSink& sink);

}  // namespace brivano
