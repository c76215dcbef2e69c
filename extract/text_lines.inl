// Line splitting shared by the page step, the keyword box and the command line.
#pragma once

#include <cstring>

namespace brivano {

template <typename Visit>
void ForEachTextLine(std::string_view text, std::size_t maxLineBytes, Visit&& visit) {
  if (const void* nul = std::memchr(text.data(), '\0', text.size())) {
    text = text.substr(0, static_cast<const char*>(nul) - text.data());
  }
  const char* base = text.data();
  const std::size_t n = text.size();
  // The next CR and LF positions are cached so that a text made only of CRs
  // (or only of LFs) is still split in linear time.
  auto next = [&](char c, std::size_t from) -> std::size_t {
    const void* hit = from < n ? std::memchr(base + from, c, n - from) : nullptr;
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - base) : n;
  };
  std::size_t nextCr = next('\r', 0);
  std::size_t nextLf = next('\n', 0);
  std::size_t pos = 0;
  while (pos < n) {
    if (nextCr < pos) nextCr = next('\r', pos);
    if (nextLf < pos) nextLf = next('\n', pos);
    const std::size_t end = nextCr < nextLf ? nextCr : nextLf;
    visit(text.substr(pos, end - pos).substr(0, maxLineBytes));
    if (end == n) break;
    pos = (base[end] == '\r' && end + 1 < n && base[end + 1] == '\n') ? end + 2 : end + 1;
  }
}

}  // namespace brivano
