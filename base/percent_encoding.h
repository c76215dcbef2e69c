// "%XX" escapes as web addresses, form queries and robots.txt rules write
// them: one reading and one writing of them for every place that needs it.
#pragma once

#include <string>
#include <string_view>

namespace brivano {

// 0..15 for a hexadecimal digit of either case; -1 for anything else.
constexpr int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The byte of a "%XX" escape starting at text[at]; -1 when there is none.
inline int PercentEscapeAt(std::string_view text, std::size_t at) {
  if (at + 2 >= text.size() || text[at] != '%') return -1;
  const int high = HexDigitValue(text[at + 1]);
  const int low = HexDigitValue(text[at + 2]);
  return high < 0 || low < 0 ? -1 : high * 16 + low;
}

// Appends "%XX" for a byte, in upper-case hex.
inline void AppendPercentEscape(std::string& out, unsigned char byte) {
  constexpr char kHex[] = "0123456789ABCDEF";
  out.push_back('%');
  out.push_back(kHex[byte >> 4]);
  out.push_back(kHex[byte & 0x0F]);
}

// Every "%XX" escape decoded to its byte; a "%" without two hex digits stays.
std::string PercentDecoded(std::string_view text);

}  // namespace brivano
