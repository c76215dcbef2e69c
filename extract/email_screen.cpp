// The e-mail screen: which lines the extractor looks at. It finds the first
// byte where an "@" could be written: "@", "#", "＃" or "＠", "[at]" and
// "(at)" by their bracket and first letter, " AT" in capitals, and the
// spelled dots that the lower-case " at " needs (" dot", "[d", "(d"), so
// that prose with the word "at" in it is passed over.
#include "extract/cpu_features.h"
#include "extract/email_extractor.h"

#include "extract/email_screen.h"

#include <algorithm>
#include <array>

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
// The places of a block of sixteen where a hit may begin, by comparing each
// first byte and the byte behind it with every byte that matters.
template <bool kStopAtNul>
__m128i HitsSse2(const unsigned char* block) {
  const __m128i b0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block));
  const __m128i b1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 1));
  const __m128i lower1 = _mm_or_si128(b1, _mm_set1_epi8(static_cast<char>(kLowerBit)));
  auto is = [](__m128i bytes, unsigned char b) {
    return _mm_cmpeq_epi8(bytes, _mm_set1_epi8(static_cast<char>(b)));
  };
  __m128i hit = _mm_or_si128(is(b0, '@'), is(b0, '#'));
  hit = _mm_or_si128(
      hit, _mm_and_si128(is(b0, kFullWidthLead),
                         _mm_or_si128(is(b1, kFullWidthNumberSign), is(b1, kFullWidthAtSign))));
  const __m128i opens = _mm_or_si128(_mm_or_si128(is(b0, '['), is(b0, '(')), is(b0, ' '));
  hit = _mm_or_si128(hit, _mm_and_si128(opens, _mm_or_si128(is(lower1, 'a'), is(lower1, 'd'))));
  if constexpr (kStopAtNul) hit = _mm_or_si128(hit, is(b0, 0));
  return hit;
}

// Sixteen first bytes at a time from `from`, each with the byte behind it,
// for texts of at least 17 bytes. The last block ends at the last byte but
// one, reaching back over places already looked at (or before `from`), and
// the last byte is looked at alone.
template <bool kStopAtNul>
std::size_t FindMarkerSse2(const unsigned char* bytes, std::size_t size, std::size_t from) {
  constexpr std::size_t kBlock = 16;
  std::size_t at = from;
  for (; at + kBlock < size; at += kBlock) {
    if (const auto mask =
            static_cast<unsigned>(_mm_movemask_epi8(HitsSse2<kStopAtNul>(bytes + at)));
        mask != 0) {
      if (const std::size_t marker = FirstMarkerOfMask<kStopAtNul>(bytes, size, at, mask);
          marker != std::string_view::npos) {
        return marker;
      }
    }
  }
  if (at + 1 < size) {
    const std::size_t block = size - kBlock - 1;
    const unsigned mask =
        static_cast<unsigned>(_mm_movemask_epi8(HitsSse2<kStopAtNul>(bytes + block))) &
        (~0u << (at - block));
    if (const std::size_t marker = FirstMarkerOfMask<kStopAtNul>(bytes, size, block, mask);
        marker != std::string_view::npos) {
      return marker;
    }
  }
  return FindMarkerScalar<kStopAtNul>(bytes, size, std::max(at, size - 1));
}
#endif

#ifdef BRIVANO_EMAIL_AVX2
// The AVX2 screen sorts bytes into classes by a table look-up of each
// nibble: a byte is in a class when the entries of both its nibbles have the
// class's bit. That tests all the first bytes in six steps where comparing
// with each would take a dozen. A first byte's bits say what must stand
// behind it, the byte behind gives the bits it allows, and a hit is a first
// byte with one of its bits allowed.
enum ClassBit : unsigned char {
  kAtSign = 1,
  kNumberSign = 2,
  kWideLeadBeforeA3 = 4,  // the A3 of "＃", allowed by an A3 behind it
  kWideLeadBeforeC0 = 8,  // the A3 of "＠", allowed by a C0 behind it
  kBlankOrParen = 16,     // " " and "(" share their high nibble
  kBracket = 32,
  kNul = 64,
};

struct NibbleTables {
  std::array<unsigned char, 16> low{};
  std::array<unsigned char, 16> high{};

  constexpr unsigned char ClassesOf(unsigned char b) const { return low[b & 0xF] & high[b >> 4]; }
};

struct ClassMember {
  unsigned char byte;
  unsigned char bits;
};

// Tables that give each member its bits and every byte `everyByte`.
template <std::size_t kCount>
constexpr NibbleTables MakeTables(const ClassMember (&members)[kCount], unsigned char everyByte) {
  NibbleTables tables;
  tables.low.fill(everyByte);
  tables.high.fill(everyByte);
  for (const ClassMember& member : members) {
    tables.low[member.byte & 0xF] |= member.bits;
    tables.high[member.byte >> 4] |= member.bits;
  }
  return tables;
}

// Whether the tables give every byte exactly its own bits: members that
// share a nibble could lend a bit to a byte that is none of them.
template <std::size_t kCount>
constexpr bool GivesExactly(const NibbleTables& tables, const ClassMember (&members)[kCount],
                            unsigned char everyByte) {
  for (unsigned b = 0; b < 256; ++b) {
    unsigned char bits = everyByte;
    for (const ClassMember& member : members) bits |= member.byte == b ? member.bits : 0;
    if (tables.ClassesOf(static_cast<unsigned char>(b)) != bits) return false;
  }
  return true;
}

constexpr unsigned char kWideLeadBits = kWideLeadBeforeA3 | kWideLeadBeforeC0;
constexpr ClassMember kFirstByteMembers[] = {
    {'@', kAtSign},       {'#', kNumberSign},   {kFullWidthLead, kWideLeadBits},
    {' ', kBlankOrParen}, {'(', kBlankOrParen}, {'[', kBracket},
};
constexpr ClassMember kFirstByteOrNulMembers[] = {
    {'@', kAtSign},
    {'#', kNumberSign},
    {kFullWidthLead, kWideLeadBits},
    {' ', kBlankOrParen},
    {'(', kBlankOrParen},
    {'[', kBracket},
    {0, kNul},
};
// "@", "#" and NUL need nothing behind them; the brackets and the blank
// need an "a" or a "d" in any case.
constexpr unsigned char kNeedNothing = kAtSign | kNumberSign | kNul;
constexpr unsigned char kBeforeLetter = kBlankOrParen | kBracket;
constexpr ClassMember kNextByteMembers[] = {
    {kFullWidthNumberSign, kWideLeadBeforeA3},
    {kFullWidthAtSign, kWideLeadBeforeC0},
    {'a', kBeforeLetter},
    {'A', kBeforeLetter},
    {'d', kBeforeLetter},
    {'D', kBeforeLetter},
};
constexpr NibbleTables kFirstByteTables = MakeTables(kFirstByteMembers, 0);
constexpr NibbleTables kFirstByteOrNulTables = MakeTables(kFirstByteOrNulMembers, 0);
constexpr NibbleTables kNextByteTables = MakeTables(kNextByteMembers, kNeedNothing);
static_assert(GivesExactly(kFirstByteTables, kFirstByteMembers, 0));
static_assert(GivesExactly(kFirstByteOrNulTables, kFirstByteOrNulMembers, 0));
static_assert(GivesExactly(kNextByteTables, kNextByteMembers, kNeedNothing));

__attribute__((target("avx2"))) __m256i TableOf(const std::array<unsigned char, 16>& entries) {
  return _mm256_broadcastsi128_si256(
      _mm_loadu_si128(reinterpret_cast<const __m128i*>(entries.data())));
}

__attribute__((target("avx2"))) __m256i ClassesOf(__m256i bytes, __m256i low, __m256i high) {
  const __m256i nibble = _mm256_set1_epi8(0x0F);
  return _mm256_and_si256(
      _mm256_shuffle_epi8(low, _mm256_and_si256(bytes, nibble)),
      _mm256_shuffle_epi8(high, _mm256_and_si256(_mm256_srli_epi16(bytes, 4), nibble)));
}

// The tables in registers.
struct Avx2Tables {
  __m256i firstLow;
  __m256i firstHigh;
  __m256i nextLow;
  __m256i nextHigh;
};

// The places of a block of thirty-two where a hit may begin: non-zero bytes.
__attribute__((target("avx2"))) __m256i HitsAvx2(const unsigned char* block,
                                                 const Avx2Tables& tables) {
  const __m256i b0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block));
  const __m256i b1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block + 1));
  return _mm256_and_si256(ClassesOf(b0, tables.firstLow, tables.firstHigh),
                          ClassesOf(b1, tables.nextLow, tables.nextHigh));
}

__attribute__((target("avx2"))) unsigned MaskOf(__m256i hit) {
  return ~static_cast<unsigned>(
      _mm256_movemask_epi8(_mm256_cmpeq_epi8(hit, _mm256_setzero_si256())));
}

// The same, thirty-two first bytes at a time, for texts of at least 33
// bytes.
template <bool kStopAtNul>
__attribute__((target("avx2"))) std::size_t FindMarkerAvx2(const unsigned char* bytes,
                                                           std::size_t size, std::size_t from) {
  constexpr std::size_t kBlock = 32;
  const NibbleTables& first = kStopAtNul ? kFirstByteOrNulTables : kFirstByteTables;
  const Avx2Tables tables{TableOf(first.low), TableOf(first.high), TableOf(kNextByteTables.low),
                          TableOf(kNextByteTables.high)};
  std::size_t at = from;
  for (; at + kBlock < size; at += kBlock) {
    if (const __m256i hit = HitsAvx2(bytes + at, tables); !_mm256_testz_si256(hit, hit)) {
      if (const std::size_t marker = FirstMarkerOfMask<kStopAtNul>(bytes, size, at, MaskOf(hit));
          marker != std::string_view::npos) {
        return marker;
      }
    }
  }
  if (at + 1 < size) {
    const std::size_t block = size - kBlock - 1;
    const unsigned mask = MaskOf(HitsAvx2(bytes + block, tables)) & (~0u << (at - block));
    if (const std::size_t marker = FirstMarkerOfMask<kStopAtNul>(bytes, size, block, mask);
        marker != std::string_view::npos) {
      return marker;
    }
  }
  return FindMarkerScalar<kStopAtNul>(bytes, size, std::max(at, size - 1));
}

#endif

template <bool kStopAtNul>
std::size_t FindMarkerInText(std::string_view text, std::size_t from) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
#ifdef BRIVANO_EMAIL_AVX2
  if (size > 32 && HasAvx2()) return FindMarkerAvx2<kStopAtNul>(bytes, size, from);
#endif
#ifdef __SSE2__
  if (size > 16) return FindMarkerSse2<kStopAtNul>(bytes, size, from);
#endif
  return FindMarkerScalar<kStopAtNul>(bytes, size, from);
}

}  // namespace

std::size_t email_screen::FindMarkerFrom(std::string_view line, std::size_t from) {
  return FindMarkerInText<false>(line, from);
}

std::size_t FindEmailMarkerByte(std::string_view text) {
  return FindMarkerInText<false>(text, 0);
}

std::size_t FindEmailMarkerOrNul(std::string_view text) {
  return FindMarkerInText<true>(text, 0);
}

}  // namespace brivano
