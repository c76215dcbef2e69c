// The e-mail extractor reads a GBK line in place, telling first bytes of
// Chinese characters from second ones as it goes. The same line with every
// double-byte character made one byte ("＠", "＃" and "．" their ASCII signs,
// every other one a byte that is nothing to an address) holds the same
// addresses: tests and the fuzz target hold the extractor to that.
#pragma once

#include <string>
#include <string_view>

#include "base/text.h"

namespace brivano::testing {

inline std::string EmailLineByCharacters(std::string_view gbkLine) {
  const std::string signs[][2] = {
      {Utf8ToGbk("＠"), "@"}, {Utf8ToGbk("＃"), "#"}, {Utf8ToGbk("．"), "."}};
  std::string line;
  for (std::size_t pos = 0; pos < gbkLine.size();) {
    const std::size_t length = GbkCharLength(gbkLine, pos);
    const std::string_view character = gbkLine.substr(pos, length);
    std::string narrow = static_cast<unsigned char>(character[0]) < 0x80 ? std::string(character)
                                                                         : std::string("\x01");
    for (const auto& [wide, ascii] : signs) {
      if (character == wide) narrow = ascii;
    }
    line += narrow;
    pos += length;
  }
  return line;
}

}  // namespace brivano::testing
