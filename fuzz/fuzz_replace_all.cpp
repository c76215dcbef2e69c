// ReplaceAllIgnoreCase, FindTextIgnoreCase and FindText against a plain
// model: cut text and pattern into GBK characters, then replace (or find),
// left to right without overlap, every run of text characters equal to the
// pattern's characters (ASCII letters in any case where case is ignored).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"

namespace {

std::vector<std::string_view> Characters(std::string_view s) {
  std::vector<std::string_view> chars;
  for (std::size_t i = 0; i < s.size();) {
    const auto lead = static_cast<unsigned char>(s[i]);
    const bool pair = lead >= 0x81 && lead <= 0xFE && i + 1 < s.size() &&
                      ((static_cast<unsigned char>(s[i + 1]) >= 0x40 &&
                        static_cast<unsigned char>(s[i + 1]) <= 0x7E) ||
                       (static_cast<unsigned char>(s[i + 1]) >= 0x80 &&
                        static_cast<unsigned char>(s[i + 1]) <= 0xFE));
    chars.push_back(s.substr(i, pair ? 2 : 1));
    i += pair ? 2 : 1;
  }
  return chars;
}

char Lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

bool SameCharacter(std::string_view a, std::string_view b, bool ignoreCase) {
  if (a.size() != b.size()) return false;
  if (a.size() == 1 && ignoreCase) return Lower(a[0]) == Lower(b[0]);
  return a == b;
}

bool MatchesAt(const std::vector<std::string_view>& text, std::size_t at,
               const std::vector<std::string_view>& pattern, bool ignoreCase = true) {
  if (at + pattern.size() > text.size()) return false;
  for (std::size_t k = 0; k < pattern.size(); ++k) {
    if (!SameCharacter(text[at + k], pattern[k], ignoreCase)) return false;
  }
  return true;
}

std::string Model(std::string_view text, std::string_view pattern, std::string_view replacement) {
  if (pattern.empty()) return std::string(text);
  const auto t = Characters(text);
  const auto p = Characters(pattern);
  std::string out;
  for (std::size_t i = 0; i < t.size();) {
    if (MatchesAt(t, i, p)) {
      out.append(replacement);
      i += p.size();
    } else {
      out.append(t[i]);
      ++i;
    }
  }
  return out;
}

// Byte position of the first match, by the model, or npos.
std::size_t ModelFind(std::string_view text, std::string_view pattern, bool ignoreCase) {
  if (pattern.empty()) return 0;
  const auto t = Characters(text);
  const auto p = Characters(pattern);
  std::size_t byte = 0;
  for (std::size_t i = 0; i < t.size(); byte += t[i].size(), ++i) {
    if (MatchesAt(t, i, p, ignoreCase)) return byte;
  }
  return std::string_view::npos;
}

[[noreturn]] void Fail(const char* what, std::string_view text, std::string_view pattern) {
  std::fprintf(stderr, "%s: text %zu bytes, pattern %zu bytes\n", what, text.size(),
               pattern.size());
  std::abort();
}

// ReplaceTable skips rows by quick byte tests; it must give what the rows'
// ReplaceAllIgnoreCase calls give one after the other. The rows are cut from
// the pattern and the replacement, with letters in both cases so that rows
// that change letter case alone occur, and a copy of a pattern in other case
// as a row of its own.
void CheckReplaceTable(std::string_view pattern, std::string_view replacement,
                       std::string_view text) {
  std::vector<std::string> utf8;
  auto add = [&](std::string_view gbk) { utf8.push_back(brivano::GbkToUtf8(gbk)); };
  for (std::size_t cut = 0; cut <= pattern.size(); cut += 3) {
    add(pattern.substr(0, cut));
    add(pattern.substr(cut));
  }
  std::string flipped(pattern);
  for (char& c : flipped) {
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 32);
    else if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c + 32);
  }
  add(flipped);
  add(pattern);
  add(replacement);
  std::vector<brivano::ReplaceRow> rows;
  for (std::size_t i = 0; i + 1 < utf8.size(); i += 2) rows.push_back({utf8[i], utf8[i + 1]});
  rows.push_back({utf8[utf8.size() - 3], utf8[utf8.size() - 2]});  // case change only
  const brivano::ReplaceTable table(rows);
  std::string viaTable(text);
  table.Apply(viaTable);
  std::string viaRows(text);
  for (const brivano::ReplaceRow& row : rows) {
    viaRows = brivano::ReplaceAllIgnoreCase(viaRows, brivano::Utf8ToGbk(row.pattern),
                                            brivano::Utf8ToGbk(row.replacement));
  }
  if (viaTable != viaRows) Fail("ReplaceTable differs from its rows run in turn", text, pattern);
}

}  // namespace

// Input: one byte of pattern length, one of replacement length, the pattern,
// the replacement, then the text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::size_t patternLength = data[0] % 16;
  const std::size_t replacementLength = data[1] % 8;
  if (size < 2 + patternLength + replacementLength) return 0;
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  const std::string_view pattern = all.substr(2, patternLength);
  const std::string_view replacement = all.substr(2 + patternLength, replacementLength);
  const std::string_view text = all.substr(2 + patternLength + replacementLength);
  // A pattern may end in a lone first byte of a double-byte character: the
  // model then never matches it against the text's whole characters, and
  // neither may the text layer.

  if (brivano::ReplaceAllIgnoreCase(text, pattern, replacement) !=
      Model(text, pattern, replacement)) {
    Fail("ReplaceAllIgnoreCase differs from the model", text, pattern);
  }
  if (brivano::FindTextIgnoreCase(text, pattern) != ModelFind(text, pattern, true)) {
    Fail("FindTextIgnoreCase differs from the model", text, pattern);
  }
  if (brivano::FindText(text, pattern) != ModelFind(text, pattern, false)) {
    Fail("FindText differs from the model", text, pattern);
  }
  CheckReplaceTable(pattern, replacement, text);
  return 0;
}
