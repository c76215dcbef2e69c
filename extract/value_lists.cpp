#include "extract/value_lists.h"

#include <algorithm>

namespace brivano {

ListSeparators::ListSeparators(std::span<const std::string_view> utf8) {
  for (std::string_view separator : utf8) gbk_.push_back(Utf8ToGbk(separator));
}

std::size_t ListSeparators::LengthAt(std::string_view text, std::size_t at,
                                     const ByteClass& valueStart) const {
  const std::string_view rest = text.substr(std::min(at, text.size()));
  for (const std::string& separator : gbk_) {
    if (rest.size() > separator.size() && rest.starts_with(separator) &&
        valueStart.Contains(static_cast<unsigned char>(rest[separator.size()]))) {
      return separator.size();
    }
  }
  return 0;
}

}  // namespace brivano
