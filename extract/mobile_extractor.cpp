#include "extract/mobile_extractor.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
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
  for (; at + 17 <= line.size(); at += 16) {
    const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line.data() + at));
    const __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(line.data() + at + 1));
    const __m128i hit = _mm_and_si128(
        _mm_cmpeq_epi8(first, one),
        _mm_and_si128(_mm_cmpgt_epi8(second, belowThree), _mm_cmplt_epi8(second, aboveNine)));
    if (const int mask = _mm_movemask_epi8(hit); mask != 0) {
      return at + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    }
  }
#endif
  for (; at + 1 < line.size(); ++at) {
    if (BeginsNumber(line.substr(at, 2))) return at;
  }
  return std::string_view::npos;
}

// A number begins with "1" or a full-width "１". With kStopAtNul a NUL byte
// is a hit too.
template <bool kStopAtNul>
std::size_t FindMarker(std::string_view text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  auto marker = [&](std::size_t at) {
    return bytes[at] == '1' || (kStopAtNul && bytes[at] == 0) ||
           (bytes[at] == kWideLead && at + 1 < size && bytes[at + 1] == kWideZero + 1);
  };
  std::size_t at = 0;
#ifdef __SSE2__
  const __m128i one = _mm_set1_epi8('1');
  const __m128i wideLead = _mm_set1_epi8(static_cast<char>(kWideLead));
  const __m128i wideOne = _mm_set1_epi8(static_cast<char>(kWideZero + 1));
  for (; at + 17 <= size; at += 16) {
    const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at));
    const __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at + 1));
    __m128i hit = _mm_or_si128(
        _mm_cmpeq_epi8(first, one),
        _mm_and_si128(_mm_cmpeq_epi8(first, wideLead), _mm_cmpeq_epi8(second, wideOne)));
    if constexpr (kStopAtNul) hit = _mm_or_si128(hit, _mm_cmpeq_epi8(first, _mm_setzero_si128()));
    if (const int mask = _mm_movemask_epi8(hit); mask != 0) {
      return at + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    }
  }
#endif
  for (; at < size; ++at) {
    if (marker(at)) return at;
  }
  return std::string_view::npos;
}

// Whether the line may hold a full-width digit or hyphen: bytes A3 B0 to
// A3 B9 or A3 AD, here without regard to where characters begin.
bool MayHoldWideCharacter(std::string_view line) {
  const char lead = static_cast<char>(kWideLead);
  for (std::size_t at = line.find(lead); at != std::string_view::npos && at + 1 < line.size();
       at = line.find(lead, at + 1)) {
    const auto next = static_cast<unsigned char>(line[at + 1]);
    if ((next >= kWideZero && next <= kWideZero + 9) || next == kWideHyphen) return true;
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
         RunLength(digits, kDigits) == kMobileLength;
}

std::size_t FindMobileMarkerByte(std::string_view text) {
  return FindMarker<false>(text);
}

std::size_t FindMobileMarkerOrNul(std::string_view text) {
  return FindMarker<true>(text);
}

void ExtractMobilesFromLine(std::string_view line, BuyerSink& sink) {
  if (MayHoldWideCharacter(line)) {
    ExtractFromAsciiDigits(NarrowDigits(line), sink);
  } else {
    ExtractFromAsciiDigits(line, sink);
  }
}

void ExtractMobiles(std::span<const std::string> pageLines, BuyerSink& sink) {
  for (const std::string& line : pageLines) ExtractMobilesFromLine(line, sink);
}

}  // namespace brivano
