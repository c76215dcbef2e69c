// Mobile numbers as pages write them: eleven digits that begin with 13 to 19,
// standing alone between non-digits, behind a country code (86, 0086, with or
// without "+" or a separator), or written in groups of 3-4-4, 4-4-3 or 3-8
// with one kind of separator (a dash, a dot, one or two blanks). Full-width
// digits and hyphens count as ASCII ones. Digits inside a longer run, and
// groups inside a longer grouping (a bank card), are no number; numbers
// grouped alike side by side are each one.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "base/buyer_list.h"

namespace brivano {

void ExtractMobilesFromLine(std::string_view line, BuyerSink& sink);

// Whether `digits` is a mobile number as recorded: eleven ASCII digits that
// begin with 13 to 19. Other kinds' extractors record such a number alike.
bool IsMobileNumber(std::string_view digits);

// The first byte that a number could start at, or npos: "1" before 3 to 9
// and a digit, "1" before a full-width digit, or the first byte of "１"
// (each digit after the first may be full-width). Bytes, not characters: a
// text without one holds no mobile number.
std::size_t FindMobileMarkerByte(std::string_view text);
// The same, or the first NUL byte if that comes first: the screen of a whole
// text, which ends at its first NUL.
std::size_t FindMobileMarkerOrNul(std::string_view text);
void ExtractMobiles(std::span<const std::string> pageLines, BuyerSink& sink);

}  // namespace brivano
