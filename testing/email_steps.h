// The e-mail extractor's steps done the plain way, one after the other on a
// copy of the line, with the text layer's own lowering, replace-all and
// search. The extractor works on the line in place and skips what cannot
// matter; tests and the fuzz target hold it to this.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"

namespace brivano::testing {

inline std::vector<std::string> EmailsByPlainSteps(std::string_view line) {
  constexpr ByteClass kAddress{"abcdefghijklmnopqrstuvwxyz0123456789-_&."};
  constexpr ByteClass kEdge{"-_&."};
  auto strip = [&](std::string part) {
    for (int round = 0; round < 10; ++round) {
      if (!part.empty() && kEdge.Contains(static_cast<unsigned char>(part.front()))) {
        part.erase(0, 1);
      }
      if (!part.empty() && kEdge.Contains(static_cast<unsigned char>(part.back()))) part.pop_back();
    }
    return part;
  };

  std::vector<std::string> found;
  std::string w = LowerAscii(line);
  w = ReplaceAllIgnoreCase(w, "#", "@");
  w = ReplaceAllIgnoreCase(w, Utf8ToGbk("＃"), "@");
  w = ReplaceAllIgnoreCase(w, Utf8ToGbk("＠"), "@");
  for (int pass = 0; pass < 10; ++pass) {
    const std::size_t at = FindText(w, "@");
    if (at == std::string::npos || at == 0) break;
    const std::string before = w.substr(0, at);
    const std::string after = w.substr(at + 1, 255);
    // Which bytes of B begin a character: GBK is read from the front.
    std::vector<bool> starts(before.size(), false);
    for (std::size_t pos = 0; pos < before.size(); pos += GbkCharLength(before, pos)) {
      starts[pos] = true;
    }
    std::size_t run = 0;
    while (run < before.size()) {
      const std::size_t pos = before.size() - 1 - run;
      const bool single = starts[pos] && (pos + 1 == before.size() || starts[pos + 1]);
      if (!single || !kAddress.Contains(static_cast<unsigned char>(before[pos]))) break;
      ++run;
    }
    std::string local = strip(before.substr(before.size() - run).substr(0, 255));
    std::string domain = after.substr(0, RunLength(after, kAddress));
    w = after.substr(domain.size());
    domain = strip(domain);
    if (const std::size_t dots = local.find(".."); dots != std::string::npos) {
      local = local.substr(dots + 2);
    }
    if (const std::size_t dots = domain.find(".."); dots != std::string::npos) {
      domain = domain.substr(0, dots);
    }
    const std::size_t dot = domain.find('.');
    const std::string last = domain.substr(domain.rfind('.') + 1);
    const bool letters = last.size() >= 2 && std::all_of(last.begin(), last.end(), [](char c) {
                           return c >= 'a' && c <= 'z';
                         });
    const bool picture = last == "png" || last == "jpg" || last == "jpeg" || last == "gif" ||
                         last == "webp" || last == "svg" || last == "css" || last == "js";
    if (!local.empty() && domain.size() >= 5 && domain.size() <= 39 && dot != std::string::npos &&
        dot >= 2 && domain.find(".htm") == std::string::npos && letters && !picture) {
      found.push_back(local + "@" + domain);
    }
  }
  return found;
}

}  // namespace brivano::testing
