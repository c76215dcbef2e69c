// The e-mail screen: which lines the extractor looks at. It finds the first
// byte where an "@" could be written: "@", "#", "＃" or "＠", "[at]" and
// "(at)" by their bracket and first letter, " AT" in capitals, and the
// spelled dots that the lower-case " at " needs (" dot", "[d", "(d"), so
// that prose with the word "at" in it is passed over.
#include "extract/email_extractor.h"

#include "extract/email_screen.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define BRIVANO_EMAIL_AVX2 1
#endif

namespace brivano {
namespace {

using namespace email_screen;

template <bool kStopAtNul>
bool IsMarker(const unsigned char* bytes, std::size_t size, std::size_t at) {
  return (kStopAtNul && bytes[at] == 0) || IsMarkerAt(bytes, size, at);
}

template <bool kStopAtNul>
std::size_t FindMarkerScalar(const unsigned char* bytes, std::size_t size, std::size_t at) {
  for (; at < size; ++at) {
    if (IsMarker<kStopAtNul>(bytes, size, at)) return at;
  }
  return std::string_view::npos;
}

// The wide screens below find a superset of the hits: "[", "(" or a blank
// before an "a" or a "d" in any case. Each is then looked at here in turn,
// so that words such as " and" or " do" cost little.
template <bool kStopAtNul>
std::size_t FirstMarkerOfMask(const unsigned char* bytes, std::size_t size, std::size_t block,
                              unsigned mask) {
  for (; mask != 0; mask &= mask - 1) {
    const std::size_t at = block + static_cast<std::size_t>(__builtin_ctz(mask));
    if (IsMarker<kStopAtNul>(bytes, size, at)) return at;
  }
  return std::string_view::npos;
}

#ifdef __SSE2__
// Sixteen first bytes at a time, each with the byte behind it; the last
// block overlaps the one before, and the last byte is looked at alone.
template <bool kStopAtNul>
std::size_t FindMarkerSse2(const unsigned char* bytes, std::size_t size) {
  const __m128i atSign = _mm_set1_epi8('@');
  const __m128i numberSign = _mm_set1_epi8('#');
  const __m128i fullWidth = _mm_set1_epi8(static_cast<char>(kFullWidthLead));
  const __m128i fullWidthNumberSign = _mm_set1_epi8(static_cast<char>(kFullWidthNumberSign));
  const __m128i fullWidthAtSign = _mm_set1_epi8(static_cast<char>(kFullWidthAtSign));
  const __m128i openBracket = _mm_set1_epi8('[');
  const __m128i openParen = _mm_set1_epi8('(');
  const __m128i blank = _mm_set1_epi8(' ');
  const __m128i lowerBit = _mm_set1_epi8(static_cast<char>(kLowerBit));
  const __m128i a = _mm_set1_epi8('a');
  const __m128i d = _mm_set1_epi8('d');
  if (size < 17) return FindMarkerScalar<kStopAtNul>(bytes, size, 0);
  for (std::size_t block = 0;; block += 16) {
    if (block + 17 > size) block = size - 17;
    const __m128i b0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + block));
    const __m128i b1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + block + 1));
    const __m128i lower1 = _mm_or_si128(b1, lowerBit);
    __m128i hit = _mm_or_si128(_mm_cmpeq_epi8(b0, atSign), _mm_cmpeq_epi8(b0, numberSign));
    hit = _mm_or_si128(hit, _mm_and_si128(_mm_cmpeq_epi8(b0, fullWidth),
                                          _mm_or_si128(_mm_cmpeq_epi8(b1, fullWidthNumberSign),
                                                       _mm_cmpeq_epi8(b1, fullWidthAtSign))));
    const __m128i opens =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(b0, openBracket), _mm_cmpeq_epi8(b0, openParen)),
                     _mm_cmpeq_epi8(b0, blank));
    hit = _mm_or_si128(hit, _mm_and_si128(opens, _mm_or_si128(_mm_cmpeq_epi8(lower1, a),
                                                              _mm_cmpeq_epi8(lower1, d))));
    if constexpr (kStopAtNul) hit = _mm_or_si128(hit, _mm_cmpeq_epi8(b0, _mm_setzero_si128()));
    if (const int mask = _mm_movemask_epi8(hit); mask != 0) {
      if (const std::size_t at =
              FirstMarkerOfMask<kStopAtNul>(bytes, size, block, static_cast<unsigned>(mask));
          at != std::string_view::npos) {
        return at;
      }
    }
    if (block + 17 == size) break;
  }
  return FindMarkerScalar<kStopAtNul>(bytes, size, size - 1);
}
#endif

#ifdef BRIVANO_EMAIL_AVX2
// The same, thirty-two first bytes at a time. Returns the hit, or npos with
// `covered` the number of first bytes looked at.
template <bool kStopAtNul>
__attribute__((target("avx2"))) std::size_t FindMarkerAvx2(const unsigned char* bytes,
                                                           std::size_t size, std::size_t& covered) {
  const __m256i atSign = _mm256_set1_epi8('@');
  const __m256i numberSign = _mm256_set1_epi8('#');
  const __m256i fullWidth = _mm256_set1_epi8(static_cast<char>(kFullWidthLead));
  const __m256i fullWidthNumberSign = _mm256_set1_epi8(static_cast<char>(kFullWidthNumberSign));
  const __m256i fullWidthAtSign = _mm256_set1_epi8(static_cast<char>(kFullWidthAtSign));
  const __m256i openBracket = _mm256_set1_epi8('[');
  const __m256i openParen = _mm256_set1_epi8('(');
  const __m256i blank = _mm256_set1_epi8(' ');
  const __m256i lowerBit = _mm256_set1_epi8(static_cast<char>(kLowerBit));
  const __m256i a = _mm256_set1_epi8('a');
  const __m256i d = _mm256_set1_epi8('d');
  std::size_t block = 0;
  for (; block + 33 <= size; block += 32) {
    const __m256i b0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + block));
    const __m256i b1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + block + 1));
    const __m256i lower1 = _mm256_or_si256(b1, lowerBit);
    __m256i hit = _mm256_or_si256(_mm256_cmpeq_epi8(b0, atSign), _mm256_cmpeq_epi8(b0, numberSign));
    hit = _mm256_or_si256(
        hit, _mm256_and_si256(_mm256_cmpeq_epi8(b0, fullWidth),
                              _mm256_or_si256(_mm256_cmpeq_epi8(b1, fullWidthNumberSign),
                                              _mm256_cmpeq_epi8(b1, fullWidthAtSign))));
    const __m256i opens = _mm256_or_si256(
        _mm256_or_si256(_mm256_cmpeq_epi8(b0, openBracket), _mm256_cmpeq_epi8(b0, openParen)),
        _mm256_cmpeq_epi8(b0, blank));
    hit = _mm256_or_si256(hit,
                          _mm256_and_si256(opens, _mm256_or_si256(_mm256_cmpeq_epi8(lower1, a),
                                                                  _mm256_cmpeq_epi8(lower1, d))));
    if constexpr (kStopAtNul) {
      hit = _mm256_or_si256(hit, _mm256_cmpeq_epi8(b0, _mm256_setzero_si256()));
    }
    if (const auto mask = static_cast<unsigned>(_mm256_movemask_epi8(hit)); mask != 0) {
      if (const std::size_t at = FirstMarkerOfMask<kStopAtNul>(bytes, size, block, mask);
          at != std::string_view::npos) {
        return at;
      }
    }
  }
  covered = block;
  return std::string_view::npos;
}

bool HasAvx2() {
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
}
#endif

template <bool kStopAtNul>
std::size_t FindMarkerWide(const unsigned char* bytes, std::size_t size) {
#ifdef BRIVANO_EMAIL_AVX2
  if (size >= 64 && HasAvx2()) {
    std::size_t covered = 0;
    if (const std::size_t hit = FindMarkerAvx2<kStopAtNul>(bytes, size, covered);
        hit != std::string_view::npos) {
      return hit;
    }
    const std::size_t rest = FindMarkerSse2<kStopAtNul>(bytes + covered, size - covered);
    return rest == std::string_view::npos ? rest : covered + rest;
  }
#endif
#ifdef __SSE2__
  return FindMarkerSse2<kStopAtNul>(bytes, size);
#else
  return FindMarkerScalar<kStopAtNul>(bytes, size, 0);
#endif
}

template <bool kStopAtNul>
std::size_t FindMarker(std::string_view text) {
  return FindMarkerWide<kStopAtNul>(reinterpret_cast<const unsigned char*>(text.data()),
                                    text.size());
}

}  // namespace

std::size_t FindEmailMarkerByte(std::string_view text) {
  return FindMarker<false>(text);
}

std::size_t FindEmailMarkerOrNul(std::string_view text) {
  return FindMarker<true>(text);
}

}  // namespace brivano
