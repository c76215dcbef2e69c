#include "base/percent_encoding.h"

namespace brivano {

std::string PercentDecoded(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (const int byte = PercentEscapeAt(text, i); byte >= 0) {
      out.push_back(static_cast<char>(byte));
      i += 2;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

}  // namespace brivano
