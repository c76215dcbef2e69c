// Character-safe search over GBK text: finds, replace-all, case, runs of a
// byte class, cuts and trims. None of them ever starts or counts a match on
// the second byte of a double-byte character; letter case is ASCII only.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "base/code_page.h"

namespace brivano {

// A set of single-byte characters (digits, address characters, ...).
class ByteClass {
 public:
  constexpr explicit ByteClass(std::string_view members) : bits_{} {
    for (char c : members) bits_[static_cast<unsigned char>(c)] = true;
  }
  constexpr bool Contains(unsigned char b) const { return bits_[b]; }

 private:
  std::array<bool, 256> bits_;
};

inline constexpr ByteClass kDigits{"0123456789"};

// First occurrence of `needle` in `text` at or after `from` (a character
// boundary), matching case-sensitively and only at character boundaries.
// Returns npos when absent; an empty needle is found at `from`.
std::size_t FindText(std::string_view text, std::string_view needle, std::size_t from = 0);
// The same, ASCII letters compared without regard to case.
std::size_t FindTextIgnoreCase(std::string_view text, std::string_view needle,
                               std::size_t from = 0);
bool ContainsText(std::string_view text, std::string_view needle);

// Replaces every occurrence of `pattern` in one left-to-right scan: matches do
// not overlap, replaced text is not scanned again, ASCII letter case is
// ignored, and a match never begins on the second byte of a double-byte
// character. An empty pattern leaves the text as it is.
std::string ReplaceAllIgnoreCase(std::string_view text, std::string_view pattern,
                                 std::string_view replacement);

// ASCII letters to lower case; both bytes of a double-byte character stay.
std::string LowerAscii(std::string_view text);
// ASCII letters to lower case in UTF-8 or ASCII text (host names, headers,
// link texts): every byte on its own, none taken for half of a GBK
// character.
std::string LowerAsciiBytes(std::string_view text);
// Whether two texts are equal but for the case of ASCII letters, byte by
// byte (names, keys, schemes).
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

// Length of the longest prefix made only of bytes of `cls` (a double-byte
// character always ends the run).
std::size_t RunLength(std::string_view text, const ByteClass& cls);

// The first `max` bytes of a text (the bounded tails of the extractors).
inline std::string_view CutTo(std::string_view text, std::size_t max = 255) {
  return text.substr(0, max);
}

// ASCII upper-case letters to lower case; every other byte stays.
constexpr unsigned char LowerAsciiByte(unsigned char b) {
  return (b >= 'A' && b <= 'Z') ? static_cast<unsigned char>(b + 32) : b;
}

// Removes every byte of value 32 or less from both ends.
std::string_view TrimBlanks(std::string_view text);

}  // namespace brivano
