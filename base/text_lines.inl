// Line splitting shared by the page step, the keyword box and the command line.
#pragma once

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace brivano {
namespace detail {

// The first CR, LF or NUL at or after p, or end.
inline const char* FindLineEndOrNul(const char* p, const char* end) {
#ifdef __SSE2__
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i nul = _mm_setzero_si128();
  for (; p + 16 <= end; p += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)),
                                     _mm_cmpeq_epi8(v, nul));
    if (const int mask = _mm_movemask_epi8(hit))
      return p + __builtin_ctz(static_cast<unsigned>(mask));
  }
#endif
  while (p < end && *p != '\r' && *p != '\n' && *p != '\0') ++p;
  return p;
}

// The start of the line that holds p: just after the last CR or LF in
// [floor, p), or floor when there is none.
inline const char* FindLineStart(const char* floor, const char* p) {
#ifdef __SSE2__
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  for (; p - floor >= 16; p -= 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p - 16));
    if (const int mask =
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf))))
      return p - 16 + (31 - __builtin_clz(static_cast<unsigned>(mask))) + 1;
  }
#endif
  while (p > floor && p[-1] != '\r' && p[-1] != '\n') --p;
  return p;
}

}  // namespace detail

template <typename Visit>
void ForEachTextLine(std::string_view text, std::size_t maxLineBytes, Visit&& visit) {
  const char* pos = text.data();
  const char* const end = text.data() + text.size();
  while (pos < end) {
    const char* lineEnd = detail::FindLineEndOrNul(pos, end);
    if (lineEnd == end || *lineEnd == '\0') {
      // The text ends here; an empty last line does not count.
      if (lineEnd > pos)
        visit(
            std::string_view(pos, static_cast<std::size_t>(lineEnd - pos)).substr(0, maxLineBytes));
      return;
    }
    visit(std::string_view(pos, static_cast<std::size_t>(lineEnd - pos)).substr(0, maxLineBytes));
    pos = (*lineEnd == '\r' && lineEnd + 1 < end && lineEnd[1] == '\n') ? lineEnd + 2 : lineEnd + 1;
    if (pos < end && *pos == '\0') return;
  }
}

}  // namespace brivano
