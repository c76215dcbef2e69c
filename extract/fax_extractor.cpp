#include "extract/fax_extractor.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "base/text.h"
#include "extract/mobile_extractor.h"
#include "extract/value_lists.h"

namespace brivano {
namespace {

constexpr std::string_view kLabel = "FAX:";
constexpr ByteClass kFaxChars{"0123456789(-+)"};
constexpr std::size_t kTailBytes = 255;
constexpr std::size_t kMinNumberBytes = 11;
constexpr std::size_t kMaxNumberBytes = 13;

// Turns every word for a telephone or a fax, Chinese or Latin, into 传真,
// then 传真 with whatever separates it from its number into "FAX:", and
// finally drops all blanks so that blanks inside a number do not end it.
// Case is ignored. The word rows come first: no row before them deletes or
// joins bytes, so the screen below sees their words as the line has them.
constexpr ReplaceRow kLabelTable[] = {
    {"电话", "传真"},  // telephone
    {"座机", "传真"},  // desk telephone
    {"固话", "传真"},  // landline
    {"总机", "传真"},  // switchboard
    {"热线", "传真"},  // hotline (400 and 800 numbers)
    {"专线", "传真"},  // direct line
    {"TELEPHONE", "传真"},
    {"HOTLINE", "传真"},
    {"PHONE", "传真"},
    {"TEL", "传真"},
    {"FAX", "传真"},
    {"(传真)", "传真"},
    {"（传真）", "传真"},
    {"传真号码", "传真"},
    {"传真号", "传真"},
    {"传真至", "传真"},
    {"（", "("},  // full-width brackets around an area code
    {"）", ")"},
    {"－", "-"},  // full-width dash
    {"　", " "},  // full-width blank
    {"\t", " "},  // a tab between the cells of a table row
    {";", ":"},
    {"  ", " "},
    {" ：", "："},  // a blank between a label and its colon
    {" :", ":"},
    {"传真： ", "FAX:"},
    {"传真：", "FAX:"},
    {"传真: ", "FAX:"},
    {"传真:", "FAX:"},
    {"传真 ", "FAX:"},
    {"传真", "FAX:"},  // a label written straight in front of its number
    {" ", ""},
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

// Several numbers behind one label, written as a list.
constexpr std::string_view kListSeparators[] = {"、", "/", "／", ",", "，", "；", "或"};

// Service numbers are dialled as they are written, without a trunk "0".
constexpr std::string_view kServicePrefixes[] = {"400", "800"};
constexpr std::size_t kServiceDigits = 10;
// A landline in national form: a three- or four-digit area code and a local
// number of seven or eight digits.
constexpr std::size_t kMinLandlineDigits = 10;

const ListSeparators& NumberLists() {
  static const ListSeparators separators(kListSeparators);
  return separators;
}

std::string DigitsOf(std::string_view number) {
  std::string digits;
  for (char c : number) {
    if (kDigits.Contains(static_cast<unsigned char>(c))) digits.push_back(c);
  }
  return digits;
}

// The number in the form it is recorded in, or an empty string when the run
// holds none: dashes for brackets, no plus signs, no country prefix, no dash
// at either end; a mobile number as its eleven digits, a service number as
// written, and a landline with the trunk "0" in front.
std::string Normalise(std::string_view run) {
  std::string number(run);
  NumberCleanUp().Apply(number);
  if (!number.empty() && number.front() == '-') number.erase(0, 1);
  for (std::string_view prefix : kCountryPrefixes) {
    if (number.starts_with(prefix)) number.erase(0, prefix.size());
  }
  if (number.ends_with('-')) number.pop_back();
  const std::string digits = DigitsOf(number);
  if (IsMobileNumber(digits)) return digits;
  for (std::string_view prefix : kServicePrefixes) {
    if (number.starts_with(prefix)) return digits.size() == kServiceDigits ? number : std::string();
  }
  if (!number.starts_with('0')) number.insert(0, 1, '0');
  const bool landline = number.size() >= kMinNumberBytes && number.size() <= kMaxNumberBytes &&
                        DigitsOf(number).size() >= kMinLandlineDigits;
  return landline ? number : std::string();
}

}  // namespace

namespace {

// What a label needs in the line before the table runs, with ASCII letters
// compared in either case: "f" alone, since blanks are deleted last and
// "F A X:" becomes a label too; the start of each Latin word for a telephone;
// and the Chinese words, in GBK. Bytes, not characters: a hit may stand
// across two characters, which only costs the table's work on that line.
struct ScreenWord {
  unsigned char bytes[4];
  std::size_t size;
};
constexpr ScreenWord kScreenWords[] = {
    {{'f'}, 1},
    {{'t', 'e', 'l'}, 3},
    {{'p', 'h', 'o'}, 3},
    {{'h', 'o', 't'}, 3},
    {{0xB4, 0xAB, 0xD5, 0xE6}, 4},  // 传真
    {{0xB5, 0xE7, 0xBB, 0xB0}, 4},  // 电话
    {{0xD7, 0xF9, 0xBB, 0xFA}, 4},  // 座机
    {{0xC8, 0xC8, 0xCF, 0xDF}, 4},  // 热线
    {{0xB9, 0xCC, 0xBB, 0xB0}, 4},  // 固话
    {{0xD7, 0xDC, 0xBB, 0xFA}, 4},  // 总机
    {{0xD7, 0xA8, 0xCF, 0xDF}, 4},  // 专线
};
constexpr std::size_t kLongestScreenWord = 4;

constexpr bool IsLowerLetter(unsigned char b) {
  return b >= 'a' && b <= 'z';
}

bool WordAt(const unsigned char* bytes, std::size_t size, std::size_t at, const ScreenWord& word) {
  if (at + word.size > size) return false;
  for (std::size_t k = 0; k < word.size; ++k) {
    const unsigned char b = IsLowerLetter(word.bytes[k]) ? bytes[at + k] | 0x20 : bytes[at + k];
    if (b != word.bytes[k]) return false;
  }
  return true;
}

// With kStopAtNul a NUL byte is a hit too.
template <bool kStopAtNul>
std::size_t FindLabel(std::string_view text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  auto label = [&](std::size_t at) {
    if (kStopAtNul && bytes[at] == 0) return true;
    for (const ScreenWord& word : kScreenWords) {
      if (WordAt(bytes, size, at, word)) return true;
    }
    return false;
  };
  constexpr std::size_t kBlock = 16 + kLongestScreenWord - 1;
  std::size_t at = 0;
#ifdef __SSE2__
  if (size >= kBlock) {
    const __m128i caseBit = _mm_set1_epi8(0x20);
    // Sixteen first bytes at a time, each with the bytes after it; the last
    // block overlaps the one before, and the last bytes are looked at alone.
    for (std::size_t block = 0;; block += 16) {
      if (block + kBlock > size) block = size - kBlock;
      __m128i shifted[kLongestScreenWord];
      __m128i folded[kLongestScreenWord];
      for (std::size_t k = 0; k < kLongestScreenWord; ++k) {
        shifted[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + block + k));
        folded[k] = _mm_or_si128(shifted[k], caseBit);
      }
      __m128i hit =
          kStopAtNul ? _mm_cmpeq_epi8(shifted[0], _mm_setzero_si128()) : _mm_setzero_si128();
      for (const ScreenWord& word : kScreenWords) {
        __m128i all = _mm_set1_epi8(-1);
        for (std::size_t k = 0; k < word.size; ++k) {
          const __m128i& in = IsLowerLetter(word.bytes[k]) ? folded[k] : shifted[k];
          all = _mm_and_si128(all,
                              _mm_cmpeq_epi8(in, _mm_set1_epi8(static_cast<char>(word.bytes[k]))));
        }
        hit = _mm_or_si128(hit, all);
      }
      if (const int mask = _mm_movemask_epi8(hit); mask != 0) {
        return block + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
      }
      if (block + kBlock == size) break;
    }
    at = size - (kLongestScreenWord - 1);
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
  const std::string_view text(work);
  // Every label of the line, and every number of a list behind a label; each
  // number is looked for in the 255 bytes that follow its label or separator.
  std::size_t from = 0;
  for (std::size_t at; (at = FindText(text, kLabel, from)) != std::string_view::npos;) {
    std::size_t next = at + kLabel.size();
    for (;;) {
      const std::string_view tail = CutTo(text.substr(next), kTailBytes);
      const std::size_t run = RunLength(tail, kFaxChars);
      if (const std::string number = Normalise(tail.substr(0, run)); !number.empty()) {
        sink.AddBuyerItem(number, ContactKind::Fax);
      }
      next += run;
      from = next;
      const std::size_t separator = run > 0 ? NumberLists().LengthAt(text, next, kFaxChars) : 0;
      if (separator == 0) break;
      next += separator;
    }
  }
}

void ExtractFaxes(std::span<const std::string> pageLines, BuyerSink& sink) {
  for (const std::string& line : pageLines) ExtractFaxesFromLine(line, sink);
}

}  // namespace brivano
