// Several values written behind one label as a list ("电话：A、B", "QQ：A或B"):
// the separators that the extractors of labelled kinds read on past.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"

namespace brivano {

class ListSeparators {
 public:
  // The separators in UTF-8; they are held as GBK.
  explicit ListSeparators(std::span<const std::string_view> utf8);

  // The length of the separator that stands at `at` in the GBK text and is
  // followed directly by a byte of `valueStart`, or 0 when there is none.
  // `at` must begin a character.
  std::size_t LengthAt(std::string_view text, std::size_t at, const ByteClass& valueStart) const;

 private:
  std::vector<std::string> gbk_;
};

}  // namespace brivano
