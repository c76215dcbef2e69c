// Integer text wherever the program takes a number as text (the settings
// file, the speed and page boxes, the start line the user types): optional
// leading blanks, an optional sign, then decimal digits, or hexadecimal
// digits after "$" or "0x"/"0X". Nothing may follow the digits. Decimal
// values must fit a signed 32-bit integer; hexadecimal ones may use all 32
// bits (0xFFFFFFFF is -1).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brivano {

std::optional<std::int32_t> ParseIntegerText(std::string_view text);

// The error shown for a start line the user typed that is no integer.
std::string NotAnIntegerMessage(std::string_view text);

}  // namespace brivano
