#include "extract/qq_extractor.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "extract/text.h"

namespace brivano {
namespace {

constexpr std::string_view kMarker = "QQ";
constexpr int kPassesPerLine = 3;
constexpr std::size_t kMinDigits = 5;
constexpr std::size_t kMaxDigits = 10;
constexpr std::size_t kTailBytes = 255;

// Done once per line. A QQ-space page address names its owner's number right
// behind the host name, so the address becomes a marker; then every case
// variant of the marker becomes "QQ".
constexpr ReplaceRow kLinePreparation[] = {
    {"user.qzone.qq.com/", "QQ"},  // 1
    {"qq", "QQ"},                  // 2
};

// Done at the start of every pass that finds a marker: labels and separators
// that stand between a marker and its number. The order matters: blanks are
// taken after colons and before dashes, so "QQ - 1" keeps one blank.
constexpr ReplaceRow kLabelCleanUp[] = {
    {"： ", ""},     // 1
    {": ", ""},      // 2
    {"QQ ", "QQ"},   // 3
    {"QQ ", "QQ"},   // 4
    {"号码 ", ""},   // 5
    {"号 ", ""},     // 6
    {"：", ""},      // 7
    {"-", ""},       // 8
    {":", ""},       // 9
    {"QQ,", "QQ"},   // 10
    {"QQ，", "QQ"},  // 11
    {"号码", ""},    // 12
    {"号", ""},      // 13
};

const ReplaceTable& LinePreparation() {
  static const ReplaceTable table(kLinePreparation);
  return table;
}

const ReplaceTable& LabelCleanUp() {
  static const ReplaceTable table(kLabelCleanUp);
  return table;
}

}  // namespace

std::size_t FindQQMarkerByte(std::string_view text) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t size = text.size();
  std::size_t at = 0;
#ifdef __SSE2__
  if (size >= 16) {
    // "Q" (0x51) and "q" (0x71) are the only bytes that give "q" with bit 5
    // set. The last block overlaps the one before.
    const __m128i caseBit = _mm_set1_epi8(0x20);
    const __m128i q = _mm_set1_epi8('q');
    for (std::size_t block = 0;; block += 16) {
      if (block + 16 > size) block = size - 16;
      const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + block));
      if (const int mask = _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_or_si128(chunk, caseBit), q));
          mask != 0) {
        return block + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
      }
      if (block + 16 == size) return std::string_view::npos;
    }
  }
#endif
  for (; at < size; ++at) {
    if ((bytes[at] | 0x20) == 'q') return at;
  }
  return std::string_view::npos;
}

void ExtractQQNumbersFromLine(std::string_view line, BuyerSink& sink) {
  // Most lines of a page hold no "q" at all.
  if (FindQQMarkerByte(line) == std::string_view::npos) return;
  std::string work(line);
  LinePreparation().Apply(work);
  for (int pass = 0; pass < kPassesPerLine; ++pass) {
    if (FindText(work, kMarker) == std::string::npos) return;
    LabelCleanUp().Apply(work);
    // The clean-up may join a marker earlier in the line ("Q-Q"). In broken
    // GBK it may also swallow one: a deleted dash can pair a stray first byte
    // with the "Q" behind it.
    const std::size_t at = FindText(work, kMarker);
    if (at == std::string::npos) return;
    work.erase(0, at + kMarker.size());
    if (work.size() > kTailBytes) work.resize(kTailBytes);
    const std::size_t digits = RunLength(work, kDigits);
    if (digits >= kMinDigits && digits <= kMaxDigits) {
      sink.AddBuyerItem(std::string_view(work).substr(0, digits), ContactKind::QQ);
    }
  }
}

void ExtractQQNumbers(std::span<const std::string> pageLines, BuyerSink& sink) {
  for (const std::string& line : pageLines) ExtractQQNumbersFromLine(line, sink);
}

}  // namespace brivano
