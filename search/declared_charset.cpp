#include "search/declared_charset.h"

#include <algorithm>
#include <cctype>

#include "base/text_search.h"

namespace brivano {

std::string DeclaredCharset(std::string_view page) {
  const std::string head = LowerAscii(page.substr(0, std::min(page.find("<body"), page.size())));
  for (std::size_t meta = head.find("<meta"); meta != std::string::npos;
       meta = head.find("<meta", meta + 5)) {
    const std::string_view tag = std::string_view(head).substr(meta, head.find('>', meta) - meta);
    const std::size_t at = tag.find("charset");
    if (at == std::string_view::npos) continue;
    std::size_t i = at + 7;
    while (i < tag.size() && (tag[i] == ' ' || tag[i] == '=' || tag[i] == '"' || tag[i] == '\''))
      ++i;
    std::string name;
    // The head is lower-cased already.
    while (i < tag.size() &&
           (std::isalnum(static_cast<unsigned char>(tag[i])) || tag[i] == '-' || tag[i] == '_'))
      name.push_back(tag[i++]);
    if (!name.empty()) return name;
  }
  return {};
}

}  // namespace brivano
