// Where an "@" could be written, byte by byte: the test that the e-mail
// screen (email_screen.cpp) makes many bytes at a time, for the extractor to
// look at the few bytes right behind a hit without starting the wide screen.
#pragma once

#include <cstddef>
#include <string_view>

#include "base/text.h"

namespace brivano::email_screen {

// "＃" is A3 A3, "＠" A3 C0 and "．" A3 AE in GBK.
inline constexpr unsigned char kFullWidthLead = 0xA3;
inline constexpr unsigned char kFullWidthNumberSign = 0xA3;
inline constexpr unsigned char kFullWidthAtSign = 0xC0;
inline constexpr unsigned char kFullWidthDot = 0xAE;
// An ASCII letter with this bit set is the lower-case one.
inline constexpr unsigned char kLowerBit = 0x20;
// The bytes that a hit can begin with.
inline constexpr ByteClass kFirstBytes{"@#\xA3[( "};

// Whether a hit begins at `at` of the `size` bytes: "@", "#", "＃", "＠",
// "[" or "(" before an "a" or a "d", " AT", or " dot" in any case.
inline bool IsMarkerAt(const unsigned char* bytes, std::size_t size, std::size_t at) {
  const unsigned char b = bytes[at];
  if (!kFirstBytes.Contains(b)) return false;
  auto byte = [&](std::size_t i) { return at + i < size ? bytes[at + i] : 0; };
  const unsigned char lower1 = byte(1) | kLowerBit;
  return b == '@' || b == '#' ||
         (b == kFullWidthLead &&
          (byte(1) == kFullWidthNumberSign || byte(1) == kFullWidthAtSign)) ||
         ((b == '[' || b == '(') && (lower1 == 'a' || lower1 == 'd')) ||
         (b == ' ' && byte(1) == 'A' && byte(2) == 'T') ||
         (b == ' ' && lower1 == 'd' && (byte(2) | kLowerBit) == 'o' &&
          (byte(3) | kLowerBit) == 't');
}

// The first hit in `line` at or after `from`, npos for none: the screen
// over the rest of a line, whose blocks may reach back before `from` so that
// a short rest costs one block, not a byte loop.
std::size_t FindMarkerFrom(std::string_view line, std::size_t from);

}  // namespace brivano::email_screen
