// The screen of the telephone and fax labels: the first place where two
// bytes stand that a label holds. Bytes, not characters: a hit may stand
// across two characters, which only costs the reading of that line.
#include <cstddef>
#include <iterator>
#include <string_view>
#include <utility>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "extract/fax_extractor.h"

namespace brivano {
namespace {

// A byte of `first` followed by a byte of `second` (any byte when `second`
// is empty); lower-case letters match either case. Every label holds one:
// the Latin words their first letters ("f", "te", "ph", "ho", "t:", "m："),
// the Chinese ones a character of their own or the two bytes across their
// middle, which are rarer than either character.
struct ScreenPair {
  unsigned char first[3];   // 0: no more
  unsigned char second[2];  // nothing: any byte
};
constexpr ScreenPair kScreenPairs[] = {
    {{'f'}, {}},                   // fax, F:, T/F
    {{'t'}, {'e'}},                // tel, telephone
    {{'t', 'm'}, {':', 0xA3}},     // T:, M:, T：, M：
    {{'p'}, {'h'}},                // ph, phone
    {{'h'}, {'o'}},                // hotline
    {{0xBB}, {0xB0}},              // 话: 电话, 固话, 电 话
    {{0xD4}, {0x92}},              // 話: 電話, 固話
    {{0xD5}, {0xE6}},              // 真: 传真, 傳真, 传 真
    {{0xA9}, {0x59}},              // ℡
    {{0xB2}, {0xA6}},              // 拨: 拨打
    {{0x93}, {0xDC}},              // 撥: 撥打
    {{0xB4, 0xC2, 0xEB}, {0xB5}},  // 来|电, 致|电, 请|电
    {{0xEB}, {0x8A, 0xC1}},        // 電: 來電, 致電, 請電; 请|联: 请联系
    {{0xF9, 0xDC}, {0xBB}},        // 座|机, 总|机
    {{0xC8, 0xA8}, {0xCF}},        // 热|线, 专|线
    {{0xBE}, {0x80}},              // 線: 熱線, 專線
    {{0xB5, 0x4D}, {0xB7}},        // 系|方, 繫|方: 联系方式, 聯繫方式
    {{0x82}, {0x99}},              // 總|機
};

constexpr bool IsLowerLetter(unsigned char b) {
  return b >= 'a' && b <= 'z';
}

template <std::size_t N>
constexpr bool InSet(const unsigned char (&set)[N], unsigned char b) {
  for (unsigned char member : set) {
    if (member != 0 && (IsLowerLetter(member) ? (b | 0x20) : b) == member) return true;
  }
  return false;
}

bool PairAt(const unsigned char* bytes, std::size_t size, std::size_t at) {
  for (const ScreenPair& pair : kScreenPairs) {
    if (!InSet(pair.first, bytes[at])) continue;
    if (pair.second[0] == 0 || (at + 1 < size && InSet(pair.second, bytes[at + 1]))) return true;
  }
  return false;
}

#ifdef __SSE2__
// The lanes of `raw` (its letters folded in `folded`) that hold a byte of
// `set`; all of them for an empty set.
template <std::size_t N>
inline __m128i InSetLanes(const unsigned char (&set)[N], __m128i raw, __m128i folded) {
  if (set[0] == 0) return _mm_set1_epi8(-1);
  __m128i lanes = _mm_setzero_si128();
  for (unsigned char member : set) {
    if (member == 0) break;
    const __m128i& in = IsLowerLetter(member) ? folded : raw;
    lanes = _mm_or_si128(lanes, _mm_cmpeq_epi8(in, _mm_set1_epi8(static_cast<char>(member))));
  }
  return lanes;
}

// Every pair's lanes, the table unrolled so that each byte is a constant.
template <std::size_t... I>
inline __m128i PairLanes(__m128i raw0, __m128i folded0, __m128i raw1, __m128i folded1,
                         std::index_sequence<I...>) {
  __m128i hit = _mm_setzero_si128();
  ((hit = _mm_or_si128(hit, _mm_and_si128(InSetLanes(kScreenPairs[I].first, raw0, folded0),
                                          InSetLanes(kScreenPairs[I].second, raw1, folded1)))),
   ...);
  return hit;
}
#endif

// With kStopAtNul a NUL byte is a hit too.
template <bool kStopAtNul>
std::size_t FindLabel(std::string_view text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  std::size_t at = 0;
#ifdef __SSE2__
  constexpr std::size_t kBlock = 17;  // sixteen first bytes and the byte behind
  if (size >= kBlock) {
    const __m128i caseBit = _mm_set1_epi8(0x20);
    // The last block overlaps the one before; the last byte is looked at alone.
    for (std::size_t block = 0;; block += 16) {
      if (block + kBlock > size) block = size - kBlock;
      const __m128i raw0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + block));
      const __m128i raw1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + block + 1));
      const __m128i folded0 = _mm_or_si128(raw0, caseBit);
      const __m128i folded1 = _mm_or_si128(raw1, caseBit);
      __m128i hit = PairLanes(raw0, folded0, raw1, folded1,
                              std::make_index_sequence<std::size(kScreenPairs)>{});
      if (kStopAtNul) hit = _mm_or_si128(hit, _mm_cmpeq_epi8(raw0, _mm_setzero_si128()));
      if (const int mask = _mm_movemask_epi8(hit); mask != 0) {
        return block + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
      }
      if (block + kBlock == size) break;
    }
    at = size - 1;
  }
#endif
  for (; at < size; ++at) {
    if ((kStopAtNul && bytes[at] == 0) || PairAt(bytes, size, at)) return at;
  }
  return std::string_view::npos;
}

}  // namespace

std::size_t FindFaxLabelByte(std::string_view text) {
  return FindLabel<false>(text);
}

std::size_t FindFaxLabelOrNul(std::string_view text) {
  return FindLabel<true>(text);
}

}  // namespace brivano
