// The QQ extractor's screen: the first byte of a screen word in a text,
// found 32 or 16 bytes at a time. It decides which lines are read at all.
#include "extract/cpu_features.h"
#include "extract/qq_extractor.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define BRIVANO_QQ_AVX2 1
#endif

namespace brivano {

namespace {

// GBK: "Ｑ" is A3 D1 and "ｑ" A3 F1, which differ in the case bit alone; "："
// is A3 BA, "企鹅" C6 F3 B6 EC and "扣扣" BF DB BF DB.
constexpr unsigned char kWideLead = 0xA3;
constexpr unsigned char kWideQ = 0xF1;
constexpr unsigned char kWideColon = 0xBA;
constexpr unsigned char kPenguin[4] = {0xC6, 0xF3, 0xB6, 0xEC};
constexpr unsigned char kKouKou[4] = {0xBF, 0xDB, 0xBF, 0xDB};

// Whether a screen word begins at `at`: the decision on each place that the
// blocks below mark, and on the last byte of a text.
bool WordAt(const unsigned char* bytes, std::size_t size, std::size_t at) {
  auto byte = [&](std::size_t k) { return at + k < size ? bytes[at + k] : 0; };
  auto folded = [&](std::size_t k) { return byte(k) | 0x20; };
  const bool narrow =
      folded(0) == 'q' && (folded(1) == 'q' || (byte(1) == ' ' && folded(2) == 'q') ||
                           byte(1) == ':' || (byte(1) == kWideLead && byte(2) == kWideColon));
  const bool wide =
      byte(0) == kWideLead && folded(1) == kWideQ && byte(2) == kWideLead && folded(3) == kWideQ;
  auto word = [&](const unsigned char(&w)[4]) {
    return byte(0) == w[0] && byte(1) == w[1] && byte(2) == w[2] && byte(3) == w[3];
  };
  const bool uin = folded(0) == 'u' && folded(1) == 'i' && folded(2) == 'n' && byte(3) == '=';
  return narrow || wide || word(kPenguin) || word(kKouKou) || uin;
}

// The blocks below mark the places where a word's first two bytes stand:
// "q" (then anything), "Ｑ" or "ｑ", "企", "扣", "ui"; WordAt decides on each.
// Almost every block holds none. Each block reads one byte behind its last
// first byte.
template <bool kStopAtNul>
std::size_t FirstWordOfMask(const unsigned char* bytes, std::size_t size, std::size_t block,
                            unsigned mask) {
  for (; mask != 0; mask &= mask - 1) {
    const std::size_t at = block + static_cast<std::size_t>(__builtin_ctz(mask));
    if ((kStopAtNul && bytes[at] == 0) || WordAt(bytes, size, at)) return at;
  }
  return std::string_view::npos;
}

#ifdef __SSE2__
template <bool kStopAtNul>
std::size_t FindWordSse2(const unsigned char* bytes, std::size_t size, std::size_t& block) {
  auto all = [](unsigned char b) { return _mm_set1_epi8(static_cast<char>(b)); };
  auto is = [](__m128i v, __m128i b) { return _mm_cmpeq_epi8(v, b); };
  const __m128i caseBit = all(0x20), q = all('q'), u = all('u'), i = all('i');
  const __m128i wideLead = all(kWideLead), wideQ = all(kWideQ);
  const __m128i penguin0 = all(kPenguin[0]), penguin1 = all(kPenguin[1]);
  const __m128i kou0 = all(kKouKou[0]), kou1 = all(kKouKou[1]);
  for (; block + 17 <= size; block += 16) {
    const __m128i b0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + block));
    const __m128i b1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + block + 1));
    const __m128i f0 = _mm_or_si128(b0, caseBit);
    const __m128i f1 = _mm_or_si128(b1, caseBit);
    __m128i hit = _mm_or_si128(is(f0, q), _mm_and_si128(is(f0, u), is(f1, i)));
    hit = _mm_or_si128(hit, _mm_and_si128(is(b0, wideLead), is(f1, wideQ)));
    hit = _mm_or_si128(hit, _mm_and_si128(is(b0, penguin0), is(b1, penguin1)));
    hit = _mm_or_si128(hit, _mm_and_si128(is(b0, kou0), is(b1, kou1)));
    if constexpr (kStopAtNul) hit = _mm_or_si128(hit, is(b0, _mm_setzero_si128()));
    if (const auto mask = static_cast<unsigned>(_mm_movemask_epi8(hit)); mask != 0) {
      const std::size_t at = FirstWordOfMask<kStopAtNul>(bytes, size, block, mask);
      if (at != std::string_view::npos) return at;
    }
  }
  return std::string_view::npos;
}
#endif

#ifdef BRIVANO_QQ_AVX2
// The same, thirty-two first bytes at a time, in two steps: this one finds
// the next block with a mark and returns its marks (0 at the end, with
// `block` where the blocks stop); the caller, in SSE code, decides on them.
// Deciding here would leave the upper halves of the registers dirty for
// that code, or cost the constants' setup in every block.
template <bool kStopAtNul>
__attribute__((target("avx2"))) unsigned NextMarksAvx2(const unsigned char* bytes, std::size_t size,
                                                       std::size_t& block) {
  // No lambdas: they would not take the function's target.
  const __m256i caseBit = _mm256_set1_epi8(0x20);
  const __m256i q = _mm256_set1_epi8('q');
  const __m256i u = _mm256_set1_epi8('u');
  const __m256i i = _mm256_set1_epi8('i');
  const __m256i wideLead = _mm256_set1_epi8(static_cast<char>(kWideLead));
  const __m256i wideQ = _mm256_set1_epi8(static_cast<char>(kWideQ));
  const __m256i penguin0 = _mm256_set1_epi8(static_cast<char>(kPenguin[0]));
  const __m256i penguin1 = _mm256_set1_epi8(static_cast<char>(kPenguin[1]));
  const __m256i kou0 = _mm256_set1_epi8(static_cast<char>(kKouKou[0]));
  const __m256i kou1 = _mm256_set1_epi8(static_cast<char>(kKouKou[1]));
  for (; block + 33 <= size; block += 32) {
    const __m256i b0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + block));
    const __m256i b1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + block + 1));
    const __m256i f0 = _mm256_or_si256(b0, caseBit);
    const __m256i f1 = _mm256_or_si256(b1, caseBit);
    __m256i hit =
        _mm256_or_si256(_mm256_cmpeq_epi8(f0, q),
                        _mm256_and_si256(_mm256_cmpeq_epi8(f0, u), _mm256_cmpeq_epi8(f1, i)));
    hit = _mm256_or_si256(
        hit, _mm256_and_si256(_mm256_cmpeq_epi8(b0, wideLead), _mm256_cmpeq_epi8(f1, wideQ)));
    hit = _mm256_or_si256(
        hit, _mm256_and_si256(_mm256_cmpeq_epi8(b0, penguin0), _mm256_cmpeq_epi8(b1, penguin1)));
    hit = _mm256_or_si256(
        hit, _mm256_and_si256(_mm256_cmpeq_epi8(b0, kou0), _mm256_cmpeq_epi8(b1, kou1)));
    if constexpr (kStopAtNul)
      hit = _mm256_or_si256(hit, _mm256_cmpeq_epi8(b0, _mm256_setzero_si256()));
    if (const auto mask = static_cast<unsigned>(_mm256_movemask_epi8(hit)); mask != 0) {
      return mask;
    }
  }
  return 0;
}

#endif

// With kStopAtNul a NUL byte is a hit too.
template <bool kStopAtNul>
std::size_t FindWord(std::string_view text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  std::size_t at = 0;  // where the blocks have got to
#ifdef BRIVANO_QQ_AVX2
  if (HasAvx2()) {
    while (const unsigned mask = NextMarksAvx2<kStopAtNul>(bytes, size, at)) {
      const std::size_t hit = FirstWordOfMask<kStopAtNul>(bytes, size, at, mask);
      if (hit != std::string_view::npos) return hit;
      at += 32;
    }
  }
#endif
#ifdef __SSE2__
  if (const std::size_t hit = FindWordSse2<kStopAtNul>(bytes, size, at);
      hit != std::string_view::npos) {
    return hit;
  }
  // One more block ends where the text does: it looks again at first bytes
  // that hold no hit, and leaves the last byte alone.
  if (size >= 17 && at + 1 < size) {
    at = size - 17;
    if (const std::size_t hit = FindWordSse2<kStopAtNul>(bytes, size, at);
        hit != std::string_view::npos) {
      return hit;
    }
  }
#endif
  for (; at < size; ++at) {
    if ((kStopAtNul && bytes[at] == 0) || WordAt(bytes, size, at)) return at;
  }
  return std::string_view::npos;
}

}  // namespace

std::size_t FindQQMarkerByte(std::string_view text) {
  return FindWord<false>(text);
}

std::size_t FindQQMarkerOrNul(std::string_view text) {
  return FindWord<true>(text);
}

}  // namespace brivano
