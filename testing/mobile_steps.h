// The mobile extractor's rules done the plain way: the line cut into digit
// runs and the text between them, then each run judged by itself or with the
// two groups behind it. The extractor searches for where a number can begin
// and skips the rest; tests and the fuzz target hold it to this.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"

namespace brivano::testing {

inline std::vector<std::string> MobilesByPlainSteps(std::string_view gbkLine) {
  // Full-width digits first become ASCII ones, character by character.
  std::string line;
  for (std::size_t pos = 0; pos < gbkLine.size();) {
    const std::size_t length = GbkCharLength(gbkLine, pos);
    const std::string character(gbkLine.substr(pos, length));
    const std::string wideZero = Utf8ToGbk("０");
    const bool wide =
        length == 2 && character[0] == wideZero[0] &&
        static_cast<unsigned char>(character[1]) >= static_cast<unsigned char>(wideZero[1]) &&
        static_cast<unsigned char>(character[1]) <= static_cast<unsigned char>(wideZero[1]) + 9;
    line +=
        wide ? std::string(1, static_cast<char>('0' + (character[1] - wideZero[1]))) : character;
    pos += length;
  }
  struct Piece {
    std::string text;
    bool digits;
  };
  std::vector<Piece> pieces;
  for (char c : line) {
    const bool digit = c >= '0' && c <= '9';
    if (pieces.empty() || pieces.back().digits != digit) pieces.push_back({"", digit});
    pieces.back().text.push_back(c);
  }
  auto mobile = [](const std::string& s) {
    return s.size() == 11 && s[0] == '1' && s[1] >= '3' && s[1] <= '9';
  };
  auto piece = [&](std::size_t i) { return i < pieces.size() ? pieces[i].text : std::string(); };

  std::vector<std::string> found;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    const std::string& run = pieces[i].text;
    if (!pieces[i].digits) continue;
    if (mobile(run)) {
      found.push_back(run);
    } else if (run.size() == 13 && run.starts_with("86") && mobile(run.substr(2))) {
      found.push_back(run.substr(2));
    } else if (run.size() == 15 && run.starts_with("0086") && mobile(run.substr(4))) {
      found.push_back(run.substr(4));
    } else if (run.size() == 3 && mobile(run + "00000000")) {
      // 3-4-4, then 3-8; the grouping may not go on behind its last group.
      const std::string sep = piece(i + 1);
      const bool separated = sep == "-" || sep == " ";
      auto goesOn = [&](std::size_t after) {
        return piece(after) == sep && after + 1 < pieces.size();
      };
      if (separated && piece(i + 2).size() == 4 && piece(i + 3) == sep &&
          piece(i + 4).size() == 4 && !goesOn(i + 5)) {
        found.push_back(run + piece(i + 2) + piece(i + 4));
        i += 4;
      } else if (separated && piece(i + 2).size() == 8 && !goesOn(i + 3)) {
        found.push_back(run + piece(i + 2));
        i += 2;
      }
    }
  }
  return found;
}

}  // namespace brivano::testing
