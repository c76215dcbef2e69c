// Code page 936 (GBK), the program's text inside the core, and the
// conversions at its edges. A double-byte character is a byte 0x81..0xFE
// followed by 0x40..0x7E or 0x80..0xFE; every other byte is a character of its
// own.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace brivano {

constexpr bool IsGbkLeadByte(unsigned char b) {
  return b >= 0x81 && b <= 0xFE;
}
constexpr bool IsGbkTrailByte(unsigned char b) {
  return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFE);
}

// Length in bytes (1 or 2) of the character that starts at `pos`.
inline std::size_t GbkCharLength(std::string_view text, std::size_t pos) {
  if (pos + 1 < text.size() && IsGbkLeadByte(static_cast<unsigned char>(text[pos])) &&
      IsGbkTrailByte(static_cast<unsigned char>(text[pos + 1]))) {
    return 2;
  }
  return 1;
}

// UTF-8 to GBK. A character GBK cannot hold, and a malformed UTF-8 sequence,
// become "?". Never produces four-byte GB18030 forms.
std::string Utf8ToGbk(std::string_view utf8);
// GBK to UTF-8. A byte sequence that is no GBK character becomes "?".
std::string GbkToUtf8(std::string_view gbk);
// GBK to UTF-16 into `out` (replacing its content), with the same "?" for a
// byte sequence that is no GBK character. Reusing `out` spares an allocation
// per call where many short texts are converted in a row.
void GbkToUtf16(std::string_view gbk, std::u16string& out);
bool IsValidUtf8(std::string_view text);
// Appends a Unicode code point as UTF-8.
void AppendUtf8(std::string& out, char32_t cp);
bool IsAscii(std::string_view text);
// Whether a text of unknown encoding reads as UTF-8: it is valid UTF-8 and
// holds a byte that is not ASCII. Anything else is taken for GBK; an ASCII
// text reads the same either way.
inline bool ReadsAsUtf8(std::string_view text) {
  return !IsAscii(text) && IsValidUtf8(text);
}

// The program's own texts, written in the source as UTF-8, as GBK. Converted
// on every call: keep it out of loops over page text.
std::string Gbk(std::string_view utf8);

}  // namespace brivano
