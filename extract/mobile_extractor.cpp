#include "extract/mobile_extractor.h"
#include "extract/cpu_features.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define BRIVANO_MOBILE_AVX2 1
#endif

#include "base/text.h"

namespace brivano {
namespace {

constexpr std::size_t kMobileLength = 11;
// Written straight in front of the number without a separator; with one,
// the code is a run of its own and the number stands alone anyway.
constexpr std::string_view kGluedCountryCodes[] = {"86", "0086"};
// The grouped forms: the sizes of their digit groups (a size of 0 ends a
// form). One number of a list may be written whole among grouped ones.
constexpr std::size_t kGroupings[][3] = {{3, 4, 4}, {4, 4, 3}, {3, 8, 0}, {11, 0, 0}};
// A bank card's last three groups read 4-4-3 as well: that grouping may not
// follow a group of four unless a number ended there.
constexpr std::size_t kCardTailGrouping = 1;
constexpr std::size_t kCardGroupSize = 4;
// A run longer than any group behind a number is a token of its own (a
// price, an ID number), not more of the grouping.
constexpr std::size_t kLongestGroup = 4;
static_assert([] {
  for (const auto& sizes : kGroupings) {
    if (sizes[0] + sizes[1] + sizes[2] != kMobileLength) return false;
  }
  return true;
}());
// Signs that join digits into one token: dates, times, prices, groupings.
constexpr ByteClass kDigitGlue{"-./:"};
// Full-width digits are A3 B0 to A3 B9 in GBK, the full-width hyphen A3 AD.
constexpr unsigned char kWideLead = 0xA3;
constexpr unsigned char kWideZero = 0xB0;
constexpr unsigned char kWideHyphen = 0xAD;

bool IsDigit(char c) {
  return kDigits.Contains(static_cast<unsigned char>(c));
}

// "1" followed by 3 to 9: where a number can begin.
bool BeginsNumber(std::string_view text) {
  return text.size() >= 2 && text[0] == '1' && text[1] >= '3' && text[1] <= '9';
}

std::size_t DigitRunEnd(std::string_view line, std::size_t from) {
  while (from < line.size() && IsDigit(line[from])) ++from;
  return from;
}

// The number a whole digit run stands for, or an empty view.
std::string_view NumberOfRun(std::string_view run) {
  if (IsMobileNumber(run)) return run;
  for (std::string_view code : kGluedCountryCodes) {
    const std::string_view rest = run.substr(std::min(code.size(), run.size()));
    if (run.starts_with(code) && IsMobileNumber(rest)) return rest;
  }
  return {};
}

// What may stand between the groups of a number: one dash, one dot, or one
// or two blanks (one kind, however many of the two).
struct Separator {
  char kind = 0;  // 0: none
  std::size_t length = 0;
};

Separator SeparatorAt(std::string_view line, std::size_t at) {
  if (at >= line.size()) return {};
  const char c = line[at];
  if (c == '-' || c == '.') return {c, 1};
  if (c != ' ') return {};
  return {' ', at + 1 < line.size() && line[at + 1] == ' ' ? 2u : 1u};
}

// Whether a group of four digits and `kind` stands right before `at`, and no
// number ended there (a bank card's groups, not a list of numbers).
bool FollowsCardGroup(std::string_view line, std::size_t at, char kind, std::size_t numberEnd) {
  for (std::size_t blanks = 1; blanks <= (kind == ' ' ? 2u : 1u) && blanks < at; ++blanks) {
    if (line[at - blanks] != kind) return false;
    const std::size_t end = at - blanks;
    if (!IsDigit(line[end - 1])) continue;
    std::size_t begin = end;
    while (begin > 0 && IsDigit(line[begin - 1])) --begin;
    return end != numberEnd && end - begin == kCardGroupSize;
  }
  return false;
}

// Whether the group ending at `end` is glued to more digits by a sign other
// than the chain's separator ("2023/12/16", "1380.00", "187-2638-0039"):
// the start of a token of its own.
bool BeginsOtherToken(std::string_view line, std::size_t end, char kind) {
  return end + 1 < line.size() && kDigitGlue.Contains(static_cast<unsigned char>(line[end])) &&
         line[end] != kind && IsDigit(line[end + 1]);
}

struct Group {
  std::size_t begin;
  std::size_t end;
};

// The grouping of `sizes` at `groups[i]`, if the groups have its sizes and
// the first begins a number.
bool GroupingFits(std::string_view line, const Group* groups, std::size_t count, std::size_t i,
                  const std::size_t (&sizes)[3]) {
  std::size_t used = 0;
  for (std::size_t size : sizes) {
    if (size == 0) break;
    if (i + used >= count || groups[i + used].end - groups[i + used].begin != size) return false;
    ++used;
  }
  return BeginsNumber(line.substr(groups[i].begin));
}

// How many groups each grouping has.
constexpr auto kGroupCounts = [] {
  std::array<std::size_t, std::size(kGroupings)> counts{};
  for (std::size_t g = 0; g < counts.size(); ++g) {
    for (std::size_t size : kGroupings[g]) counts[g] += size > 0 ? 1 : 0;
  }
  return counts;
}();

// Writes the numbers that the groups from `i` on read as, up to the end of
// the chain or a group that ends it; gives the end of the last.
std::size_t AddGroupedNumbers(std::string_view line, const std::vector<Group>& groups,
                              const std::vector<std::size_t>& fits, std::size_t i,
                              BuyerSink& sink) {
  std::size_t end = groups[i].begin;
  while (i < groups.size() && fits[i] < std::size(kGroupings)) {
    char number[kMobileLength];
    std::size_t written = 0;
    for (const std::size_t last = i + kGroupCounts[fits[i]]; i < last; ++i) {
      std::copy(line.begin() + static_cast<std::ptrdiff_t>(groups[i].begin),
                line.begin() + static_cast<std::ptrdiff_t>(groups[i].end), number + written);
      written += groups[i].end - groups[i].begin;
      end = groups[i].end;
    }
    sink.AddBuyerItem(std::string_view(number, kMobileLength), ContactKind::Mobile);
  }
  return end;
}

// The chain of groups joined by one kind of separator that begins with the
// run at `begin` (three or four digits that begin a number). Numbers are read
// from a group that begins one when all the groups behind it read as numbers,
// up to the chain's end or a group that is a token of its own (glued to more
// digits by another sign, or longer than any group); a number written whole
// among the groups is one. The groups are read once, so that a long chain
// costs no more than its length. `numberEnd` is where the last number found
// ended; gives where reading goes on.
std::size_t ExtractChain(std::string_view line, std::size_t begin, std::size_t& numberEnd,
                         BuyerSink& sink) {
  const Separator first = SeparatorAt(line, DigitRunEnd(line, begin));
  std::vector<Group> groups;
  for (std::size_t at = begin;;) {
    const std::size_t end = DigitRunEnd(line, at);
    groups.push_back({at, end});
    const Separator next = SeparatorAt(line, end);
    at = end + next.length;
    if (first.kind == 0 || next.kind != first.kind || at >= line.size() || !IsDigit(line[at])) {
      break;
    }
  }
  // fits[i]: the grouping that the groups from i on begin with when they
  // read as numbers up to the chain's end or a group that kEndsHere.
  constexpr std::size_t kNone = std::size(kGroupings);
  constexpr std::size_t kEndsHere = kNone + 1;
  const std::size_t count = groups.size();
  std::vector<std::size_t> fits(count + 1, kNone);
  fits[count] = kEndsHere;
  for (std::size_t i = count; i-- > 0;) {
    for (std::size_t g = 0; g < std::size(kGroupings) && fits[i] == kNone; ++g) {
      if (i + kGroupCounts[g] <= count && fits[i + kGroupCounts[g]] != kNone &&
          GroupingFits(line, groups.data(), count, i, kGroupings[g])) {
        fits[i] = g;
      }
    }
    if (fits[i] == kNone && i > 0 &&
        (groups[i].end - groups[i].begin > kLongestGroup ||
         BeginsOtherToken(line, groups[i].end, first.kind))) {
      fits[i] = kEndsHere;
    }
  }
  // The groups in turn, as each would be read on its own. The last one may
  // begin a chain of another separator: it is read afresh.
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0 && i + 1 == count) return groups[i].begin;
    const std::string_view run = line.substr(groups[i].begin, groups[i].end - groups[i].begin);
    if (const std::string_view number = NumberOfRun(run); i > 0 && !number.empty()) {
      sink.AddBuyerItem(number, ContactKind::Mobile);
      numberEnd = groups[i].end;
    } else if ((run.size() == 3 || run.size() == 4) && BeginsNumber(run) && fits[i] < kNone &&
               !(fits[i] == kCardTailGrouping &&
                 FollowsCardGroup(line, groups[i].begin, first.kind, numberEnd))) {
      numberEnd = AddGroupedNumbers(line, groups, fits, i, sink);
      return numberEnd;
    }
  }
  return groups[count - 1].end;
}

// The next place at or after `from` where "1" is followed by 3 to 9.
// Digits are never the second byte of a GBK character, so a plain byte
// search finds exactly the character-aligned places.
std::size_t FindNumberStart(std::string_view line, std::size_t from) {
  std::size_t at = from;
#ifdef __SSE2__
  const __m128i one = _mm_set1_epi8('1');
  const __m128i belowThree = _mm_set1_epi8('3' - 1);
  const __m128i aboveNine = _mm_set1_epi8('9' + 1);
  // The last block overlaps the one before (its places before `at` were
  // looked at), so that a line's tail costs one block, not a byte loop.
  constexpr std::size_t kBlock = 16;
  if (line.size() > kBlock && at + 1 < line.size()) {
    const std::size_t lastBlock = line.size() - kBlock - 1;
    for (;; at += kBlock) {
      const std::size_t block = std::min(at, lastBlock);
      const char* const bytes = line.data() + block;
      const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
      const __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + 1));
      const __m128i hit = _mm_and_si128(
          _mm_cmpeq_epi8(first, one),
          _mm_and_si128(_mm_cmpgt_epi8(second, belowThree), _mm_cmplt_epi8(second, aboveNine)));
      if (const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hit)) >> (at - block);
          mask != 0) {
        return at + static_cast<std::size_t>(__builtin_ctz(mask));
      }
      if (block == lastBlock) return std::string_view::npos;
    }
  }
#endif
  for (; at + 1 < line.size(); ++at) {
    if (BeginsNumber(line.substr(at, 2))) return at;
  }
  return std::string_view::npos;
}

// Where a number may begin, byte by byte: "1" before 3 to 9 and a digit,
// "1" before a full-width digit, or "１" (A3 B1). Every digit after the first
// may be full-width, so an A3 where a digit must stand passes. Dates,
// prices and page numbers ("2016-06-20", "10 下一页") are passed over, which
// spares most lines that hold a "1". With kStopAtNul a NUL byte is a hit too.
template <bool kStopAtNul>
bool IsMarkerAt(const unsigned char* bytes, std::size_t size, std::size_t at) {
  auto byte = [&](std::size_t i) { return at + i < size ? bytes[at + i] : 0; };
  auto digit = [](unsigned char b) { return b >= '0' && b <= '9'; };
  const unsigned char b1 = byte(1);
  return (kStopAtNul && bytes[at] == 0) || (bytes[at] == kWideLead && b1 == kWideZero + 1) ||
         (bytes[at] == '1' && (b1 == kWideLead || (b1 >= '3' && b1 <= '9' &&
                                                   (digit(byte(2)) || byte(2) == kWideLead))));
}

template <bool kStopAtNul>
std::size_t FindMarkerScalar(const unsigned char* bytes, std::size_t size, std::size_t at) {
  for (; at < size; ++at) {
    if (IsMarkerAt<kStopAtNul>(bytes, size, at)) return at;
  }
  return std::string_view::npos;
}

#ifdef __SSE2__
// Sixteen first bytes at a time, each with the two bytes behind it. Returns
// the hit, or npos with `covered` the number of first bytes looked at.
template <bool kStopAtNul>
std::size_t FindMarkerSse2(const unsigned char* bytes, std::size_t size, std::size_t& covered) {
  const __m128i one = _mm_set1_epi8('1');
  const __m128i wideLead = _mm_set1_epi8(static_cast<char>(kWideLead));
  const __m128i wideOne = _mm_set1_epi8(static_cast<char>(kWideZero + 1));
  // Signed compares: bytes from 0x80 up are below both bounds.
  const __m128i belowZero = _mm_set1_epi8('0' - 1);
  const __m128i belowThree = _mm_set1_epi8('3' - 1);
  const __m128i aboveNine = _mm_set1_epi8('9' + 1);
  std::size_t at = 0;
  for (; at + 18 <= size; at += 16) {
    const __m128i b0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at));
    const __m128i b1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at + 1));
    const __m128i b2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at + 2));
    const __m128i second =
        _mm_and_si128(_mm_cmpgt_epi8(b1, belowThree), _mm_cmplt_epi8(b1, aboveNine));
    const __m128i third =
        _mm_or_si128(_mm_and_si128(_mm_cmpgt_epi8(b2, belowZero), _mm_cmplt_epi8(b2, aboveNine)),
                     _mm_cmpeq_epi8(b2, wideLead));
    const __m128i follows =
        _mm_or_si128(_mm_and_si128(second, third), _mm_cmpeq_epi8(b1, wideLead));
    __m128i hit =
        _mm_or_si128(_mm_and_si128(_mm_cmpeq_epi8(b0, one), follows),
                     _mm_and_si128(_mm_cmpeq_epi8(b0, wideLead), _mm_cmpeq_epi8(b1, wideOne)));
    if constexpr (kStopAtNul) hit = _mm_or_si128(hit, _mm_cmpeq_epi8(b0, _mm_setzero_si128()));
    if (const int mask = _mm_movemask_epi8(hit); mask != 0) {
      return at + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    }
  }
  covered = at;
  return std::string_view::npos;
}
#endif

#ifdef BRIVANO_MOBILE_AVX2
// The same, thirty-two first bytes at a time.
template <bool kStopAtNul>
__attribute__((target("avx2"))) std::size_t FindMarkerAvx2(const unsigned char* bytes,
                                                           std::size_t size, std::size_t& covered) {
  const __m256i one = _mm256_set1_epi8('1');
  const __m256i wideLead = _mm256_set1_epi8(static_cast<char>(kWideLead));
  const __m256i wideOne = _mm256_set1_epi8(static_cast<char>(kWideZero + 1));
  const __m256i belowZero = _mm256_set1_epi8('0' - 1);
  const __m256i belowThree = _mm256_set1_epi8('3' - 1);
  const __m256i aboveNine = _mm256_set1_epi8('9' + 1);
  std::size_t at = 0;
  for (; at + 34 <= size; at += 32) {
    const __m256i b0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + at));
    const __m256i b1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + at + 1));
    const __m256i b2 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(bytes + at + 2));
    const __m256i second =
        _mm256_and_si256(_mm256_cmpgt_epi8(b1, belowThree), _mm256_cmpgt_epi8(aboveNine, b1));
    const __m256i third = _mm256_or_si256(
        _mm256_and_si256(_mm256_cmpgt_epi8(b2, belowZero), _mm256_cmpgt_epi8(aboveNine, b2)),
        _mm256_cmpeq_epi8(b2, wideLead));
    const __m256i follows =
        _mm256_or_si256(_mm256_and_si256(second, third), _mm256_cmpeq_epi8(b1, wideLead));
    __m256i hit = _mm256_or_si256(
        _mm256_and_si256(_mm256_cmpeq_epi8(b0, one), follows),
        _mm256_and_si256(_mm256_cmpeq_epi8(b0, wideLead), _mm256_cmpeq_epi8(b1, wideOne)));
    if constexpr (kStopAtNul) {
      hit = _mm256_or_si256(hit, _mm256_cmpeq_epi8(b0, _mm256_setzero_si256()));
    }
    if (const auto mask = static_cast<unsigned>(_mm256_movemask_epi8(hit)); mask != 0) {
      return at + static_cast<std::size_t>(__builtin_ctz(mask));
    }
  }
  covered = at;
  return std::string_view::npos;
}

#endif

template <bool kStopAtNul>
std::size_t FindMarker(std::string_view text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  std::size_t covered = 0;
#ifdef BRIVANO_MOBILE_AVX2
  if (size >= 64 && HasAvx2()) {
    if (const std::size_t hit = FindMarkerAvx2<kStopAtNul>(bytes, size, covered);
        hit != std::string_view::npos) {
      return hit;
    }
  }
#endif
#ifdef __SSE2__
  std::size_t rest = 0;
  if (const std::size_t hit = FindMarkerSse2<kStopAtNul>(bytes + covered, size - covered, rest);
      hit != std::string_view::npos) {
    return covered + hit;
  }
  covered += rest;
#endif
  return FindMarkerScalar<kStopAtNul>(bytes, size, covered);
}

// Whether the line holds a full-width digit or hyphen (A3 B0 to A3 B9, or
// A3 AD) as a character of its own, as NarrowDigits reads it. Most such byte
// pairs in Chinese text are an A3 that ends one character before a B0 to B9
// that begins the next: narrowing those lines would copy them for nothing.
// Bytes 0x81 to 0xFE pair up from the start of their run (any other byte
// ends a character), so the pair is a character when an even number of them
// stands right before it.
bool HoldsWideCharacter(std::string_view line) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(line.data());
  const char lead = static_cast<char>(kWideLead);
  std::size_t floor = 0;  // a character boundary at or before the next pair
  for (std::size_t at = line.find(lead); at != std::string_view::npos && at + 1 < line.size();
       at = line.find(lead, at + 1)) {
    const unsigned char next = bytes[at + 1];
    if ((next < kWideZero || next > kWideZero + 9) && next != kWideHyphen) continue;
    std::size_t run = 0;
    while (at - run > floor && IsGbkLeadByte(bytes[at - run - 1])) ++run;
    if (run % 2 == 0) return true;
    floor = at + 1;  // the A3 ended a character
  }
  return false;
}

// The line with every full-width digit made an ASCII one and every
// full-width hyphen a "-", read character by character from its start.
std::string NarrowDigits(std::string_view line) {
  std::string narrow;
  narrow.reserve(line.size());
  for (std::size_t pos = 0; pos < line.size();) {
    const std::size_t length = GbkCharLength(line, pos);
    const auto second = static_cast<unsigned char>(line[pos + length - 1]);
    const bool wide = length == 2 && static_cast<unsigned char>(line[pos]) == kWideLead;
    if (wide && second >= kWideZero && second <= kWideZero + 9) {
      narrow.push_back(static_cast<char>('0' + (second - kWideZero)));
    } else if (wide && second == kWideHyphen) {
      narrow.push_back('-');
    } else {
      narrow.append(line.substr(pos, length));
    }
    pos += length;
  }
  return narrow;
}

void ExtractFromAsciiDigits(std::string_view line, BuyerSink& sink) {
  // Every run of digits is looked at once, from where the last one ended:
  // the work is linear in the line however many numbers it holds.
  std::size_t from = 0;
  std::size_t numberEnd = std::string_view::npos;
  for (std::size_t hit; (hit = FindNumberStart(line, from)) != std::string_view::npos;) {
    std::size_t begin = hit;
    while (begin > from && IsDigit(line[begin - 1])) --begin;
    const std::size_t end = DigitRunEnd(line, hit);
    from = end;
    if (const std::string_view number = NumberOfRun(line.substr(begin, end - begin));
        !number.empty()) {
      sink.AddBuyerItem(number, ContactKind::Mobile);
      numberEnd = end;
    } else if (begin == hit && (end - begin == 3 || end - begin == 4)) {
      from = ExtractChain(line, begin, numberEnd, sink);
    }
  }
}

}  // namespace

bool IsMobileNumber(std::string_view digits) {
  return digits.size() == kMobileLength && BeginsNumber(digits) &&
         std::all_of(digits.begin(), digits.end(), IsDigit);
}

std::size_t FindMobileMarkerByte(std::string_view text) {
  return FindMarker<false>(text);
}

std::size_t FindMobileMarkerOrNul(std::string_view text) {
  return FindMarker<true>(text);
}

void ExtractMobilesFromLine(std::string_view line, BuyerSink& sink) {
  if (HoldsWideCharacter(line)) {
    ExtractFromAsciiDigits(NarrowDigits(line), sink);
  } else {
    ExtractFromAsciiDigits(line, sink);
  }
}

void ExtractMobiles(std::span<const std::string> pageLines, BuyerSink& sink) {
  for (const std::string& line : pageLines) ExtractMobilesFromLine(line, sink);
}

}  // namespace brivano
