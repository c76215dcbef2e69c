// E-mail addresses: read around each "@" as pages write it ("@", "＠", a
// number sign glued between the two halves, "[at]", "(at)", " AT "), the
// local part being the run of address characters before it and the host the
// labels after it, joined by dots as pages write them (".", "．", "[dot]",
// "(dot)", " DOT ").
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "base/buyer_list.h"

namespace brivano {

// The first byte of `text` at which an "@" could be written: an "@", a "#",
// the byte pair of "＃" or "＠", "[" or "(" before an "a" or "d", " AT", or
// " dot" in any case. Bytes, not characters, so a hit may stand across two
// characters; npos when there is none. A line without one yields nothing, so
// a caller may pass over such text unseen.
std::size_t FindEmailMarkerByte(std::string_view text);
// The same, or the first NUL byte if that comes first: the screen of a whole
// text, which ends at its first NUL.
std::size_t FindEmailMarkerOrNul(std::string_view text);

void ExtractEmailsFromLine(std::string_view line, BuyerSink& sink);
void ExtractEmails(std::span<const std::string> pageLines, BuyerSink& sink);

}  // namespace brivano
