#include "base/replace_table.h"

#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "base/text_search.h"

namespace brivano {
namespace {

// Sets of byte values as four 64-bit words.
using ByteSet = std::array<std::uint64_t, 4>;

void AddByte(ByteSet& set, unsigned char b) {
  set[b >> 6] |= std::uint64_t{1} << (b & 63);
}

ByteSet BytesOf(std::string_view text) {
  ByteSet set{};
#ifdef __SSE2__
  // A byte per value first: setting bits of a word in memory would chain
  // every byte of the text to the store of the one before.
  alignas(16) unsigned char seen[256] = {};
  for (char c : text) seen[static_cast<unsigned char>(c)] = 0x80;
  for (int block = 0; block < 16; ++block) {
    const auto bits = static_cast<std::uint64_t>(static_cast<unsigned>(
        _mm_movemask_epi8(_mm_load_si128(reinterpret_cast<const __m128i*>(seen + 16 * block)))));
    set[block / 4] |= bits << (16 * (block % 4));
  }
#else
  for (char c : text) AddByte(set, static_cast<unsigned char>(c));
#endif
  return set;
}

// The set with every ASCII capital also present as its small letter: the
// capitals 0x41..0x5A are bits 1..26 of word 1, the small letters bits 33..58.
ByteSet Folded(ByteSet set) {
  set[1] |= (set[1] & 0x7FFFFFEu) << 32;
  return set;
}

bool Within(const ByteSet& part, const ByteSet& whole) {
  return ((part[0] & ~whole[0]) | (part[1] & ~whole[1]) | (part[2] & ~whole[2]) |
          (part[3] & ~whole[3])) == 0;
}

bool Meets(const ByteSet& a, const ByteSet& b) {
  return ((a[0] & b[0]) | (a[1] & b[1]) | (a[2] & b[2]) | (a[3] & b[3])) != 0;
}

// ReplaceAllIgnoreCase for a replacement no longer than its pattern, from the
// match at `first`, without a second string: the result is written over the
// text behind the reading position, and the search only ever reads bytes at
// or after that position (it checks character boundaries back to where it
// started), which are still the text's own.
void ReplaceShrinkingInPlace(std::string& text, std::size_t first, std::string_view pattern,
                             std::string_view replacement) {
  char* const bytes = text.data();
  std::size_t write = first;
  std::size_t read = first;
  for (std::size_t hit = first; hit != std::string_view::npos;
       hit = FindTextIgnoreCase(text, pattern, read)) {
    std::memmove(bytes + write, bytes + read, hit - read);
    write += hit - read;
    std::memcpy(bytes + write, replacement.data(), replacement.size());
    write += replacement.size();
    read = hit + pattern.size();
  }
  std::memmove(bytes + write, bytes + read, text.size() - read);
  text.resize(write + text.size() - read);
}

}  // namespace

ReplaceTable::ReplaceTable(std::span<const ReplaceRow> utf8Rows) {
  rows_.reserve(utf8Rows.size());
  for (const ReplaceRow& row : utf8Rows) {
    Row gbk;
    gbk.pattern = Utf8ToGbk(row.pattern);
    gbk.replacement = Utf8ToGbk(row.replacement);
    for (char c : gbk.pattern) {
      const unsigned char lowered = LowerAsciiByte(static_cast<unsigned char>(c));
      gbk.loweredPattern.push_back(static_cast<char>(lowered));
      gbk.hasLetters = gbk.hasLetters || (lowered >= 'a' && lowered <= 'z');
      AddByte(gbk.patternBytes, lowered);
    }
    gbk.replacementBytes = BytesOf(gbk.replacement);
    // A replacement that is the pattern in other letter cases changes only
    // letters that stand in the text in the case it does not have.
    gbk.caseOnly = gbk.replacement.size() == gbk.pattern.size() &&
                   LowerAscii(gbk.replacement) == LowerAscii(gbk.pattern);
    if (gbk.caseOnly) {
      for (char c : gbk.replacement) {
        if (c >= 'a' && c <= 'z') AddByte(gbk.changedLetters, static_cast<unsigned char>(c - 32));
        if (c >= 'A' && c <= 'Z') AddByte(gbk.changedLetters, static_cast<unsigned char>(c + 32));
      }
    }
    rows_.push_back(std::move(gbk));
  }
}

void ReplaceTable::Apply(std::string& text) const {
  // Quick tests come before the search that respects characters; each can
  // only send a row on to that search, never hold back a change.
  // `present` holds every byte of the text and may hold more: replacing adds
  // the replacement's bytes and removes nothing.
  ByteSet present = BytesOf(text);
  // Every match is also a match of the bytes alone: in the text itself for a
  // pattern without letters, in the lowered text for one with letters.
  std::string lowered;
  bool loweredCurrent = false;
  for (const Row& row : rows_) {
    if (!Within(row.patternBytes, Folded(present))) continue;
    if (row.caseOnly && !Meets(row.changedLetters, present)) continue;
    if (!row.hasLetters) {
      if (text.find(row.pattern) == std::string::npos) continue;
    } else {
      if (!loweredCurrent) {
        lowered.resize(text.size());
        for (std::size_t i = 0; i < text.size(); ++i) {
          lowered[i] = static_cast<char>(LowerAsciiByte(static_cast<unsigned char>(text[i])));
        }
        loweredCurrent = true;
      }
      if (lowered.find(row.loweredPattern) == std::string::npos) continue;
    }
    const std::size_t first = FindTextIgnoreCase(text, row.pattern);
    if (first == std::string_view::npos) continue;
    // Nothing before the first match changes, and the scan may start there:
    // it is a character boundary.
    if (row.replacement.size() <= row.pattern.size()) {
      ReplaceShrinkingInPlace(text, first, row.pattern, row.replacement);
    } else {
      text.replace(
          first, std::string::npos,
          ReplaceAllIgnoreCase(std::string_view(text).substr(first), row.pattern, row.replacement));
    }
    loweredCurrent = false;
    for (std::size_t i = 0; i < present.size(); ++i) present[i] |= row.replacementBytes[i];
  }
}

}  // namespace brivano
