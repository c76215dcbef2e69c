#include "base/text_lines.h"

#include "base/code_page.h"

namespace brivano {

std::string NormalizeLineBreaks(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t brk = text.find_first_of("\r\n", pos);
    if (brk == std::string_view::npos) {
      out.append(text.substr(pos));
      break;
    }
    out.append(text.substr(pos, brk - pos));
    out.append("\r\n");
    pos = (text[brk] == '\r' && brk + 1 < text.size() && text[brk + 1] == '\n') ? brk + 2 : brk + 1;
  }
  return out;
}

std::vector<std::string> SplitTextLines(std::string_view text, std::size_t maxLineBytes) {
  std::vector<std::string> lines;
  ForEachTextLine(text, maxLineBytes, [&](std::string_view line) { lines.emplace_back(line); });
  return lines;
}

std::size_t LineOfByte(std::string_view text, std::size_t at) {
  std::size_t line = 1;
  for (std::size_t i = 0; i < at && i < text.size(); ++i) {
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) {
      ++line;
    }
  }
  return line;
}

std::vector<std::string_view> SplitLongLine(std::string_view line, std::size_t maxBytes,
                                            std::size_t lookBack) {
  std::vector<std::string_view> pieces;
  while (line.size() > maxBytes && maxBytes > 1) {
    // The last character boundary within the limit.
    std::size_t cut = 0;
    for (std::size_t pos = 0; pos < line.size();) {
      const std::size_t next = pos + GbkCharLength(line, pos);
      if (next > maxBytes) break;
      pos = next;
      cut = pos;
    }
    for (std::size_t at = cut; at > 0 && cut - at < lookBack; --at) {
      if (line[at - 1] == ' ' || line[at - 1] == '\t') {
        cut = at;
        break;
      }
    }
    pieces.push_back(line.substr(0, cut));
    line.remove_prefix(cut);
  }
  pieces.push_back(line);
  return pieces;
}

}  // namespace brivano
