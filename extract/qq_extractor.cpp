#include "extract/qq_extractor.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <array>
#include <span>
#include <string>

#include "base/text.h"
#include "extract/value_lists.h"

namespace brivano {
namespace {

constexpr std::string_view kMarker = "QQ";
constexpr std::size_t kMinDigits = 5;
constexpr std::size_t kMaxDigits = 10;
// Several numbers behind one marker, written as a list. (A date written with
// dashes right behind a comma reads as one more number: the clean-up has
// joined its digits. Lists with commas are far more common.)
constexpr std::string_view kListSeparators[] = {"、", "/", "／", " / ", ",", "，", "；", "或"};

// "Ｑ" is A3 D1 and "ｑ" A3 F1 in GBK: they differ in the case bit alone.
constexpr unsigned char kWideLead = 0xA3;
constexpr unsigned char kWideQ = 0xF1;

// Done once per line. A QQ-space page address names its owner's number right
// behind the host name, so the address becomes a marker; then the marker
// written with a blank inside or in full-width letters, and every case
// variant of it, become "QQ"; tabs (between the cells of a table row) and
// full-width blanks become blanks.
constexpr ReplaceRow kLinePreparation[] = {
    {"user.qzone.qq.com/", "QQ"},
    {"Q Q", "QQ"},
    {"ＱＱ", "QQ"},
    {"ｑｑ", "QQ"},
    {"\t", " "},
    {"　", " "},
    {"qq", "QQ"},
};

// Done once on a line that holds a marker: labels and separators that stand
// between a marker and its number. The order matters: blanks are
// taken after colons and before dashes, so "QQ - 1" keeps one blank.
constexpr ReplaceRow kLabelCleanUp[] = {
    // One number for both accounts ("QQ/微信：12345678"): the other account's
    // name goes before the separators do.
    {"QQ/微信", "QQ"},   // 1
    {"QQ／微信", "QQ"},  // 2
    {"： ", ""},         // 3
    {": ", ""},          // 4
    {"QQ ", "QQ"},       // 5
    {"QQ ", "QQ"},       // 6
    {"号码 ", ""},       // 7
    {"号 ", ""},         // 8
    {"：", ""},          // 9
    {"-", ""},           // 10
    {":", ""},           // 11
    {"QQ,", "QQ"},       // 12
    {"QQ，", "QQ"},      // 13
    {"号码", ""},        // 14
    {"号", ""},          // 15
};

const ListSeparators& NumberLists() {
  static const ListSeparators separators(kListSeparators);
  return separators;
}

const ReplaceTable& LinePreparation() {
  static const ReplaceTable table(kLinePreparation);
  return table;
}

const ReplaceTable& LabelCleanUp() {
  static const ReplaceTable table(kLabelCleanUp);
  return table;
}

// Bytes no step can touch: ASCII bytes that stand in no pattern of either
// table, in either letter case.
const ByteClass& InertBytes() {
  static const ByteClass inert = [] {
    std::array<bool, 256> touched{};
    for (int b = 0x80; b < 0x100; ++b) touched[b] = true;
    for (std::span<const ReplaceRow> rows : {std::span<const ReplaceRow>(kLinePreparation),
                                             std::span<const ReplaceRow>(kLabelCleanUp)}) {
      for (const ReplaceRow& row : rows) {
        for (const char c : Utf8ToGbk(row.pattern)) {
          const auto b = static_cast<unsigned char>(c);
          touched[b] = true;
          if ((b | 0x20) >= 'a' && (b | 0x20) <= 'z') touched[b ^ 0x20] = true;
        }
      }
    }
    std::string members;
    for (int b = 0; b < 0x100; ++b) {
      if (!touched[b]) members.push_back(static_cast<char>(b));
    }
    return ByteClass(members);
  }();
  return inert;
}

// How much of the line's start can be left out without changing what the
// steps find: everything up to the last inert byte in front of the first
// "Q" or "q". No match of any step can reach across an inert byte, and no
// byte of a double-byte character is one, so the steps act on the two sides
// of it as on two texts; the side in front holds no "Q", so no step can make
// a marker there, and what a pass keeps lies behind the first marker.
std::size_t InertPrefixLength(std::string_view line, std::size_t firstPair) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(line.data());
  const ByteClass& inert = InertBytes();
  std::size_t firstQ = 0;
  while (firstQ < firstPair && (bytes[firstQ] | 0x20) != 'q') ++firstQ;
  for (std::size_t pos = firstQ; pos > 0; --pos) {
    if (inert.Contains(bytes[pos - 1])) return pos;
  }
  return 0;
}

}  // namespace

namespace {

// With kStopAtNul a NUL byte is a hit too. A marker is "qq" or "q q" (the
// blank goes in the line preparation) in either case, or the full-width
// "ＱＱ" (A3 D1 A3 D1, or A3 F1 for "ｑ") in either case.
template <bool kStopAtNul>
std::size_t FindMarker(std::string_view text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  // "Q" (0x51) and "q" (0x71) are the only bytes that give "q" with bit 5 set.
  auto isQ = [&](std::size_t at) { return at < size && (bytes[at] | 0x20) == 'q'; };
  auto isWideQ = [&](std::size_t at) {
    return at + 1 < size && bytes[at] == kWideLead && (bytes[at + 1] | 0x20) == kWideQ;
  };
  auto marker = [&](std::size_t at) {
    return (isQ(at) && (isQ(at + 1) || (at + 1 < size && bytes[at + 1] == ' ' && isQ(at + 2)))) ||
           (isWideQ(at) && isWideQ(at + 2));
  };
  constexpr std::size_t kBlock = 16 + 3;
  std::size_t at = 0;
#ifdef __SSE2__
  if (size >= kBlock) {
    const __m128i caseBit = _mm_set1_epi8(0x20);
    const __m128i q = _mm_set1_epi8('q');
    const __m128i blank = _mm_set1_epi8(' ');
    const __m128i wideLead = _mm_set1_epi8(static_cast<char>(kWideLead));
    const __m128i wideQ = _mm_set1_epi8(static_cast<char>(kWideQ));
    // Sixteen first bytes at a time, each with the three bytes after it; the
    // last block overlaps the one before, and the last three bytes are
    // looked at alone.
    for (std::size_t block = 0;; block += 16) {
      if (block + kBlock > size) block = size - kBlock;
      __m128i in[4];
      __m128i folded[4];
      for (int k = 0; k < 4; ++k) {
        in[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + block + k));
        folded[k] = _mm_or_si128(in[k], caseBit);
      }
      const __m128i narrow = _mm_and_si128(
          _mm_cmpeq_epi8(folded[0], q),
          _mm_or_si128(_mm_cmpeq_epi8(folded[1], q),
                       _mm_and_si128(_mm_cmpeq_epi8(in[1], blank), _mm_cmpeq_epi8(folded[2], q))));
      const __m128i wide = _mm_and_si128(
          _mm_and_si128(_mm_cmpeq_epi8(in[0], wideLead), _mm_cmpeq_epi8(folded[1], wideQ)),
          _mm_and_si128(_mm_cmpeq_epi8(in[2], wideLead), _mm_cmpeq_epi8(folded[3], wideQ)));
      __m128i hit = _mm_or_si128(narrow, wide);
      if constexpr (kStopAtNul) hit = _mm_or_si128(hit, _mm_cmpeq_epi8(in[0], _mm_setzero_si128()));
      if (const int mask = _mm_movemask_epi8(hit); mask != 0) {
        return block + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
      }
      if (block + kBlock == size) break;
    }
    at = size - 3;
  }
#endif
  for (; at < size; ++at) {
    if (kStopAtNul && bytes[at] == 0) return at;
    if (marker(at)) return at;
  }
  return std::string_view::npos;
}

}  // namespace

std::size_t FindQQMarkerByte(std::string_view text) {
  return FindMarker<false>(text);
}

std::size_t FindQQMarkerOrNul(std::string_view text) {
  return FindMarker<true>(text);
}

void ExtractQQNumbersFromLine(std::string_view line, BuyerSink& sink) {
  // Most lines of a page hold no "qq" at all.
  const std::size_t marker = FindQQMarkerByte(line);
  if (marker == std::string_view::npos) return;
  std::string work(line.substr(InertPrefixLength(line, marker)));
  LinePreparation().Apply(work);
  if (FindText(work, kMarker) == std::string::npos) return;
  LabelCleanUp().Apply(work);
  // Every marker of the line, in order, and every number of a list behind
  // one. The clean-up may join a marker earlier in the line ("Q-Q"). In
  // broken GBK it may also swallow one: a deleted dash can pair a stray first
  // byte with the "Q" behind it.
  const std::string_view text(work);
  std::size_t next = 0;
  for (std::size_t at; (at = FindText(text, kMarker, next)) != std::string_view::npos;) {
    next = at + kMarker.size();
    for (;;) {
      const std::size_t digits = RunLength(text.substr(next), kDigits);
      if (digits >= kMinDigits && digits <= kMaxDigits) {
        sink.AddBuyerItem(text.substr(next, digits), ContactKind::QQ);
      }
      next += digits;
      const std::size_t separator = digits > 0 ? NumberLists().LengthAt(text, next, kDigits) : 0;
      if (separator == 0) break;
      next += separator;
    }
  }
}

void ExtractQQNumbers(std::span<const std::string> pageLines, BuyerSink& sink) {
  for (const std::string& line : pageLines) ExtractQQNumbersFromLine(line, sink);
}

}  // namespace brivano
