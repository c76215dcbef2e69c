#include "extract/fax_extractor.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include <cstring>

#include "base/text.h"

namespace brivano {
namespace {

constexpr std::string_view kLabel = "FAX:";
constexpr ByteClass kFaxChars{"0123456789(-+)"};
constexpr std::size_t kTailBytes = 255;
constexpr std::size_t kMinNumberBytes = 11;
constexpr std::size_t kMaxNumberBytes = 13;

// Turns the telephone label into the fax label, then every written form of
// the fax label into "FAX:", and finally drops all blanks so that blanks
// inside a number do not end it. Case is ignored, so "FAX" rows catch "Fax"
// and "fax" too.
constexpr ReplaceRow kLabelTable[] = {
    {"电话", "传真"},        // 1
    {"(Fax) ", "Fax"},       // 2
    {"(Fax)", "Fax"},        // 3
    {"（FAX）", "Fax"},      // 4
    {";", ":"},              // 5
    {"  ", " "},             // 6
    {"传真： ", "FAX:"},     // 7
    {"传真：", "FAX:"},      // 8
    {"传真: ", "FAX:"},      // 9
    {"传真:", "FAX:"},       // 10
    {"传真 ", "FAX:"},       // 11
    {"传真号码：", "FAX:"},  // 12
    {"传真至：", "FAX:"},    // 13
    {"FAX： ", "FAX:"},      // 14
    {"FAX：", "FAX:"},       // 15
    {"FAX: ", "FAX:"},       // 16
    {"FAX:", "FAX:"},        // 17
    {"FAX ", "FAX:"},        // 18
    {"FAX号码：", "FAX:"},   // 19
    {"FAX至：", "FAX:"},     // 20
    {" ", ""},               // 21
};

// Brackets around an area code become dashes, plus signs go, and runs of up
// to four dashes become one.
constexpr ReplaceRow kNumberCleanUp[] = {
    {"(", "-"},   // 1
    {")", "-"},   // 2
    {"+", ""},    // 3
    {"--", "-"},  // 4
    {"--", "-"},  // 5
};

// Tested in this order, each on what the one before left.
constexpr std::string_view kCountryPrefixes[] = {"0086-", "0086", "086-", "086", "86-", "86"};

const ReplaceTable& LabelTable() {
  static const ReplaceTable table(kLabelTable);
  return table;
}

const ReplaceTable& NumberCleanUp() {
  static const ReplaceTable table(kNumberCleanUp);
  return table;
}

// National form of the number: dashes for brackets, no plus signs, no
// country prefix, the trunk "0" in front, one dash dropped from either end.
std::string Normalise(std::string_view run) {
  std::string number(run);
  NumberCleanUp().Apply(number);
  if (!number.empty() && number.front() == '-') number.erase(0, 1);
  for (std::string_view prefix : kCountryPrefixes) {
    if (number.starts_with(prefix)) number.erase(0, prefix.size());
  }
  if (!number.starts_with('0')) number.insert(0, 1, '0');
  if (number.ends_with('-')) number.pop_back();
  return number;
}

// A label followed by a long run of dashes or brackets (a divider line, an
// empty form field) normalises to the trunk "0" and dashes, long enough to
// pass the length test. Such a value is no number: a number needs a digit
// behind the leading "0".
bool HoldsNumber(std::string_view number) {
  return number.find_first_of("0123456789", 1) != std::string_view::npos;
}

}  // namespace

namespace {

// With kStopAtNul a NUL byte is a hit too.
template <bool kStopAtNul>
std::size_t FindLabel(std::string_view text) {
  // 传真 is B4 AB D5 E6 and 电话 B5 E7 BB B0 in GBK.
  static constexpr unsigned char kFax[] = {0xB4, 0xAB, 0xD5, 0xE6};
  static constexpr unsigned char kTelephone[] = {0xB5, 0xE7, 0xBB, 0xB0};
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  auto label = [&](std::size_t at) {
    if ((bytes[at] | 0x20) == 'f' || (kStopAtNul && bytes[at] == 0)) return true;
    if (at + 4 > size) return false;
    return std::memcmp(bytes + at, kFax, 4) == 0 || std::memcmp(bytes + at, kTelephone, 4) == 0;
  };
  std::size_t at = 0;
#ifdef __SSE2__
  if (size >= 19) {
    const __m128i caseBit = _mm_set1_epi8(0x20);
    const __m128i f = _mm_set1_epi8('f');
    auto chars = [](const unsigned char(&word)[4], const __m128i* shifted) {
      __m128i all = _mm_set1_epi8(-1);
      for (int k = 0; k < 4; ++k) {
        all = _mm_and_si128(all,
                            _mm_cmpeq_epi8(shifted[k], _mm_set1_epi8(static_cast<char>(word[k]))));
      }
      return all;
    };
    // Sixteen first bytes at a time, each with the three bytes after it; the
    // last block overlaps the one before, and the last three bytes are
    // looked at alone.
    for (std::size_t block = 0;; block += 16) {
      if (block + 19 > size) block = size - 19;
      __m128i shifted[4];
      for (int k = 0; k < 4; ++k) {
        shifted[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + block + k));
      }
      __m128i hit = _mm_or_si128(_mm_cmpeq_epi8(_mm_or_si128(shifted[0], caseBit), f),
                                 _mm_or_si128(chars(kFax, shifted), chars(kTelephone, shifted)));
      if constexpr (kStopAtNul) {
        hit = _mm_or_si128(hit, _mm_cmpeq_epi8(shifted[0], _mm_setzero_si128()));
      }
      if (const int mask = _mm_movemask_epi8(hit); mask != 0) {
        return block + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
      }
      if (block + 19 == size) break;
    }
    at = size - 3;
  }
#endif
  for (; at < size; ++at) {
    if (label(at)) return at;
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

void ExtractFaxesFromLine(std::string_view line, BuyerSink& sink) {
  // Most lines of a page hold no label at all.
  if (FindFaxLabelByte(line) == std::string_view::npos) return;
  std::string work(line);
  LabelTable().Apply(work);
  const std::size_t at = FindText(work, kLabel);
  if (at == std::string::npos) return;
  const std::string_view tail =
      CutTo(std::string_view(work).substr(at + kLabel.size()), kTailBytes);
  const std::string number = Normalise(tail.substr(0, RunLength(tail, kFaxChars)));
  if (number.size() >= kMinNumberBytes && number.size() <= kMaxNumberBytes && HoldsNumber(number)) {
    sink.AddBuyerItem(number, ContactKind::Fax);
  }
}

void ExtractFaxes(std::span<const std::string> pageLines, BuyerSink& sink) {
  for (const std::string& line : pageLines) ExtractFaxesFromLine(line, sink);
}

}  // namespace brivano
