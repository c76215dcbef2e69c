// The telephone and fax numbers that stand behind a label, read as pages
// write them: groups of digits joined by dashes, blanks and brackets, a
// country code in front, an extension and a note behind, and more numbers
// of a list after the first.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/buyer_list.h"

namespace brivano {

// A few short words, held in GBK, and which of them stands at a place of a
// line: the first byte is looked up before any word is compared.
class FaxWords {
 public:
  // `utf8` in table order; with `ignoreCase` ASCII letters match either case
  // (the words are then written in lower case).
  explicit FaxWords(std::span<const std::string_view> utf8, bool ignoreCase = false);
  // The length of the first word that stands at `at`, or 0.
  std::size_t LengthAt(std::string_view line, std::size_t at) const;

 private:
  std::vector<std::string> words_;
  std::array<bool, 256> first_{};
  bool ignoreCase_;
};

// Reads the numbers that begin at `at` of the GBK line (a character start)
// and passes each to `sink` in the form it is recorded in. Returns where the
// reading stopped: behind the last number taken with its extension and note,
// or `at` when no number begins there.
std::size_t ReadFaxNumbers(std::string_view line, std::size_t at, BuyerSink& sink);

// Behind the bracketed note that stands at `at` ("(8:00-22:00)", "( Tel )",
// "(销售部)": brackets around more than a number's characters), or `at`.
std::size_t SkipFaxNote(std::string_view line, std::size_t at);

// Whether a Chinese character (no punctuation or symbol) stands at `at`.
bool IsHanzi(std::string_view line, std::size_t at);

}  // namespace brivano
