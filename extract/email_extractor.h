// E-mail addresses: worked outward from each "@" (or a number sign standing
// in for it), the local part being the run of address characters before it
// and the domain the run after it.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "extract/buyer_list.h"

namespace brivano {

void ExtractEmailsFromLine(std::string_view line, BuyerSink& sink);
void ExtractEmails(std::span<const std::string> pageLines, BuyerSink& sink);

}  // namespace brivano
