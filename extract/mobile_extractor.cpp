#include "extract/mobile_extractor.h"

#include <algorithm>
#include <array>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "base/text.h"

namespace brivano {
namespace {

constexpr std::array<std::string_view, 6> kMobilePrefixes{"13", "14", "15", "17", "18", "19"};
constexpr int kPassesPerLine = 3;
constexpr std::size_t kMobileLength = 11;
constexpr std::size_t kTailBytes = 255;

// Index of the prefix that `second` completes after a "1", or -1.
constexpr std::array<int, 256> kPrefixIndexOfSecondDigit = [] {
  std::array<int, 256> index{};
  index.fill(-1);
  for (std::size_t i = 0; i < kMobilePrefixes.size(); ++i) {
    index[static_cast<unsigned char>(kMobilePrefixes[i][1])] = static_cast<int>(i);
  }
  return index;
}();

// First occurrence of a prefix at or after `from` that lies wholly before
// `end`. Digits are never the second byte of a GBK character, so a plain byte
// search finds exactly the character-aligned occurrences.
std::size_t FindPrefix(std::string_view line, std::string_view prefix, std::size_t from,
                       std::size_t end) {
  const char* p = line.data() + from;
  const char* last = line.data() + end;
  while (p + 1 < last) {
    const void* hit = std::memchr(p, prefix[0], static_cast<std::size_t>(last - p - 1));
    if (hit == nullptr) return std::string_view::npos;
    const char* h = static_cast<const char*>(hit);
    if (h[1] == prefix[1]) return static_cast<std::size_t>(h - line.data());
    p = h + 1;
  }
  return std::string_view::npos;
}

}  // namespace

std::size_t FindMobileMarkerByte(std::string_view text) {
  const void* hit = std::memchr(text.data(), '1', text.size());
  return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - text.data())
             : std::string_view::npos;
}

std::size_t FindMobileMarkerOrNul(std::string_view text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  std::size_t at = 0;
#ifdef __SSE2__
  const __m128i one = _mm_set1_epi8('1');
  const __m128i nul = _mm_setzero_si128();
  for (; at + 16 <= size; at += 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at));
    const int mask =
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(chunk, one), _mm_cmpeq_epi8(chunk, nul)));
    if (mask != 0) return at + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
  }
#endif
  for (; at < size; ++at) {
    if (bytes[at] == '1' || bytes[at] == 0) return at;
  }
  return std::string_view::npos;
}

void ExtractMobilesFromLine(std::string_view line, BuyerSink& sink) {
  constexpr std::size_t npos = std::string_view::npos;
  // One pass finds the first occurrence of every prefix; most lines need no
  // other search. Every prefix starts with "1".
  std::array<std::size_t, kMobilePrefixes.size()> next;
  next.fill(npos);
  std::size_t missing = next.size();
  auto note = [&](std::size_t at) {
    const int i = kPrefixIndexOfSecondDigit[static_cast<unsigned char>(line[at + 1])];
    if (i >= 0 && next[i] == npos) {
      next[i] = at;
      --missing;
    }
  };
  std::size_t at = 0;
#ifdef __SSE2__
  // Sixteen positions at a time: a "1" followed by 3, 4, 5, 7, 8 or 9.
  const __m128i one = _mm_set1_epi8('1');
  const __m128i belowThree = _mm_set1_epi8('3' - 1);
  const __m128i aboveNine = _mm_set1_epi8('9' + 1);
  const __m128i six = _mm_set1_epi8('6');
  for (; missing > 0 && at + 17 <= line.size(); at += 16) {
    const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line.data() + at));
    const __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line.data() + at + 1));
    const __m128i isOne = _mm_cmpeq_epi8(first, one);
    const __m128i inRange =
        _mm_and_si128(_mm_cmpgt_epi8(second, belowThree), _mm_cmplt_epi8(second, aboveNine));
    const __m128i hit =
        _mm_andnot_si128(_mm_cmpeq_epi8(second, six), _mm_and_si128(isOne, inRange));
    for (unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit)); mask != 0;
         mask &= mask - 1) {
      note(at + static_cast<std::size_t>(__builtin_ctz(mask)));
    }
  }
#endif
  for (; missing > 0 && at + 1 < line.size(); ++at) {
    if (line[at] == '1') note(at);
  }
  if (missing == next.size()) return;

  // The working text is the window [start, end) of the line: it only ever
  // loses bytes at its front and, through the 255-byte cut, at its back.
  std::size_t start = 0;
  std::size_t end = line.size();
  for (int pass = 0; pass < kPassesPerLine; ++pass) {
    for (std::size_t i = 0; i < kMobilePrefixes.size(); ++i) {
      if (next[i] == npos) continue;  // absent from the window for good
      if (next[i] < start) next[i] = FindPrefix(line, kMobilePrefixes[i], start, end);
      if (next[i] == npos || next[i] + 2 > end) {
        next[i] = npos;
        continue;
      }
      start = next[i];
      end = std::min(end, start + kTailBytes);
      const std::size_t digits = RunLength(line.substr(start, end - start), kDigits);
      if (digits == kMobileLength) {
        sink.AddBuyerItem(line.substr(start, digits), ContactKind::Mobile);
      }
      start += digits;
    }
  }
}

void ExtractMobiles(std::span<const std::string> pageLines, BuyerSink& sink) {
  for (const std::string& line : pageLines) ExtractMobilesFromLine(line, sink);
}

}  // namespace brivano
