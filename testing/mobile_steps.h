// The mobile extractor's rules done the plain way: the line cut into digit
// runs and the text between them, then each run judged by itself or, when it
// may begin a grouped number, with the chain of groups behind it. The
// extractor searches for where a number can begin and skips the rest; tests
// and the fuzz target hold it to this.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"

namespace brivano::testing {

inline std::vector<std::string> MobilesByPlainSteps(std::string_view gbkLine) {
  // Full-width digits and hyphens first become ASCII ones, character by
  // character.
  const std::string wideZero = Utf8ToGbk("０");
  const std::string wideHyphen = Utf8ToGbk("－");
  std::string line;
  for (std::size_t pos = 0; pos < gbkLine.size();) {
    const std::size_t length = GbkCharLength(gbkLine, pos);
    const std::string character(gbkLine.substr(pos, length));
    const int digit =
        length == 2 && character[0] == wideZero[0]
            ? static_cast<unsigned char>(character[1]) - static_cast<unsigned char>(wideZero[1])
            : -1;
    if (digit >= 0 && digit <= 9) {
      line += static_cast<char>('0' + digit);
    } else {
      line += character == wideHyphen ? std::string("-") : character;
    }
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
  // The kind of separator a text piece is: one dash, one dot, one or two blanks.
  auto separator = [](const std::string& text) {
    return text == "-" || text == "." ? text[0] : text == " " || text == "  " ? ' ' : '\0';
  };
  const std::vector<std::vector<std::size_t>> groupings = {{3, 4, 4}, {4, 4, 3}, {3, 8}, {11}};

  std::vector<std::string> found;
  std::size_t lastNumber = pieces.size();  // the piece a number last ended with
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    const std::string& run = pieces[i].text;
    if (!pieces[i].digits) continue;
    if (mobile(run) || (run.size() == 13 && run.starts_with("86") && mobile(run.substr(2))) ||
        (run.size() == 15 && run.starts_with("0086") && mobile(run.substr(4)))) {
      found.push_back(run.substr(run.size() - 11));
      lastNumber = i;
      continue;
    }
    if ((run.size() != 3 && run.size() != 4) || !mobile(run + std::string(11 - run.size(), '0'))) {
      continue;
    }
    const char kind = separator(piece(i + 1));
    if (kind == '\0') continue;
    std::vector<std::size_t> chain{i};
    while (separator(piece(chain.back() + 1)) == kind && chain.back() + 2 < pieces.size()) {
      chain.push_back(chain.back() + 2);
    }
    // Which grouping reads the chain from each group on: -1 for none, `ends`
    // where the numbers end in front of the group.
    const int ends = static_cast<int>(groupings.size());
    std::vector<int> fits(chain.size() + 1, -1);
    fits[chain.size()] = ends;
    for (std::size_t k = chain.size(); k-- > 0;) {
      for (std::size_t g = 0; g < groupings.size() && fits[k] < 0; ++g) {
        const auto& sizes = groupings[g];
        const std::string& first = pieces[chain[k]].text;
        bool fit = k + sizes.size() <= chain.size() && fits[k + sizes.size()] >= 0 &&
                   first[0] == '1' && first[1] >= '3' && first[1] <= '9';
        for (std::size_t n = 0; fit && n < sizes.size(); ++n) {
          fit = pieces[chain[k + n]].text.size() == sizes[n];
        }
        if (fit) fits[k] = static_cast<int>(g);
      }
      // A group longer than four digits, or glued to more digits by a
      // sign other than the separator, is a token of its own.
      const std::string after = piece(chain[k] + 1);
      const bool glued = after.size() == 1 &&
                         std::string_view("-./:").find(after[0]) != std::string_view::npos &&
                         after[0] != kind && chain[k] + 2 < pieces.size();
      if (fits[k] < 0 && k > 0 && (pieces[chain[k]].text.size() > 4 || glued)) fits[k] = ends;
    }
    // 4-4-3 behind a group of four that ended no number is a bank card's tail.
    const bool cardTail = fits[0] == 1 && i >= 2 && separator(piece(i - 1)) == kind &&
                          pieces[i - 2].text.size() == 4 && lastNumber != i - 2;
    if (fits[0] < 0 || fits[0] == ends || cardTail) continue;
    for (std::size_t k = 0; k < chain.size() && fits[k] != ends;) {
      std::string number;
      const std::size_t groups = groupings[static_cast<std::size_t>(fits[k])].size();
      for (std::size_t n = 0; n < groups; ++n) number += pieces[chain[k++]].text;
      found.push_back(number);
      lastNumber = i = chain[k - 1];
    }
  }
  return found;
}

}  // namespace brivano::testing
