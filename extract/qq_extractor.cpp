#include "extract/qq_extractor.h"

#include <cstring>

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

// Every marker comes from a "q" or "Q" of the line (the QQ-space host name
// holds some as well), and most lines of a page have none.
bool MayHoldMarker(std::string_view line) {
  return std::memchr(line.data(), 'Q', line.size()) != nullptr ||
         std::memchr(line.data(), 'q', line.size()) != nullptr;
}

}  // namespace

void ExtractQQNumbersFromLine(std::string_view line, BuyerSink& sink) {
  if (!MayHoldMarker(line)) return;
  std::string work(line);
  LinePreparation().Apply(work);
  for (int pass = 0; pass < kPassesPerLine; ++pass) {
    if (FindText(work, kMarker) == std::string::npos) return;
    LabelCleanUp().Apply(work);
    // The clean-up may join a marker earlier in the line ("Q-Q"). In broken
    // GBK it may also swallow one: a deleted blank can pair a stray lead byte
    // with the "Q" behind it.
    const std::size_t at = FindText(work, kMarker);
    if (at == std::string::npos) return;
    work = std::string(CutTo(std::string_view(work).substr(at + kMarker.size()), kTailBytes));
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
