#include "extract/mobile_extractor.h"

#include <algorithm>
#include <iterator>

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
// form), and the separators that may stand between them (the same one every
// time). Every form begins with a group of three.
constexpr std::size_t kGroupings[][3] = {{3, 4, 4}, {3, 8, 0}};
constexpr std::size_t kFirstGroupSize = 3;
constexpr char kGroupSeparators[] = {'-', ' '};
static_assert([] {
  for (const auto& sizes : kGroupings) {
    if (sizes[0] != kFirstGroupSize || sizes[0] + sizes[1] + sizes[2] != kMobileLength)
      return false;
  }
  return true;
}());
// Full-width digits are A3 B0 to A3 B9 in GBK.
constexpr unsigned char kWideLead = 0xA3;
constexpr unsigned char kWideZero = 0xB0;

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

// The grouped form of `sizes` whose first group is the run at `begin`: its
// end, with the digits in `number`, or npos. The groups must be exactly their
// sizes, and the grouping may not go on behind the last one
// ("138-0013-8000-12").
std::size_t GroupedNumberEnd(std::string_view line, std::size_t begin,
                             const std::size_t (&sizes)[3], char* number) {
  const char separator = begin + sizes[0] < line.size() ? line[begin + sizes[0]] : 0;
  if (std::find(std::begin(kGroupSeparators), std::end(kGroupSeparators), separator) ==
      std::end(kGroupSeparators)) {
    return std::string_view::npos;
  }
  std::size_t at = begin;
  std::size_t written = 0;
  for (std::size_t group = 0; group < std::size(sizes) && sizes[group] > 0; ++group) {
    if (group > 0) {
      if (at >= line.size() || line[at] != separator) return std::string_view::npos;
      ++at;
    }
    const std::size_t end = DigitRunEnd(line, at);
    if (end - at != sizes[group]) return std::string_view::npos;
    std::copy(line.begin() + static_cast<std::ptrdiff_t>(at),
              line.begin() + static_cast<std::ptrdiff_t>(end), number + written);
    written += end - at;
    at = end;
  }
  if (at + 1 < line.size() && line[at] == separator && IsDigit(line[at + 1])) {
    return std::string_view::npos;
  }
  return at;
}

// The first grouped form that stands at `begin`; as GroupedNumberEnd.
std::size_t AnyGroupedNumberEnd(std::string_view line, std::size_t begin, char* number) {
  for (const auto& sizes : kGroupings) {
    if (const std::size_t end = GroupedNumberEnd(line, begin, sizes, number);
        end != std::string_view::npos) {
      return end;
    }
  }
  return std::string_view::npos;
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

// Whether the line may hold a full-width digit: bytes A3 B0 to A3 B9, here
// without regard to where characters begin.
bool MayHoldWideDigit(std::string_view line) {
  const char lead = static_cast<char>(kWideLead);
  for (std::size_t at = line.find(lead); at != std::string_view::npos && at + 1 < line.size();
       at = line.find(lead, at + 1)) {
    const auto next = static_cast<unsigned char>(line[at + 1]);
    if (next >= kWideZero && next <= kWideZero + 9) return true;
  }
  return false;
}

// The line with every full-width digit made an ASCII one, read character by
// character from its start.
std::string NarrowDigits(std::string_view line) {
  std::string narrow;
  narrow.reserve(line.size());
  for (std::size_t pos = 0; pos < line.size();) {
    const std::size_t length = GbkCharLength(line, pos);
    const auto second = static_cast<unsigned char>(line[pos + length - 1]);
    if (length == 2 && static_cast<unsigned char>(line[pos]) == kWideLead && second >= kWideZero &&
        second <= kWideZero + 9) {
      narrow.push_back(static_cast<char>('0' + (second - kWideZero)));
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
  for (std::size_t hit; (hit = FindNumberStart(line, from)) != std::string_view::npos;) {
    std::size_t begin = hit;
    while (begin > from && IsDigit(line[begin - 1])) --begin;
    const std::size_t end = DigitRunEnd(line, hit);
    from = end;
    if (const std::string_view number = NumberOfRun(line.substr(begin, end - begin));
        !number.empty()) {
      sink.AddBuyerItem(number, ContactKind::Mobile);
    } else if (begin == hit && end - begin == kFirstGroupSize) {
      char grouped[kMobileLength];
      if (const std::size_t groupedEnd = AnyGroupedNumberEnd(line, begin, grouped);
          groupedEnd != std::string_view::npos) {
        sink.AddBuyerItem(std::string_view(grouped, kMobileLength), ContactKind::Mobile);
        from = groupedEnd;
      }
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
  if (MayHoldWideDigit(line)) {
    ExtractFromAsciiDigits(NarrowDigits(line), sink);
  } else {
    ExtractFromAsciiDigits(line, sink);
  }
}

void ExtractMobiles(std::span<const std::string> pageLines, BuyerSink& sink) {
  for (const std::string& line : pageLines) ExtractMobilesFromLine(line, sink);
}

}  // namespace brivano
