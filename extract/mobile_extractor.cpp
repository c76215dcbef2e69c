#include "extract/mobile_extractor.h"

#include <array>
#include <cstring>

#include "extract/text.h"

namespace brivano {
namespace {

constexpr std::array<std::string_view, 6> kMobilePrefixes{"13", "14", "15", "17", "18", "19"};
constexpr int kPassesPerLine = 3;
constexpr std::size_t kMobileLength = 11;
constexpr std::size_t kTailBytes = 255;

// Digits are never the second byte of a GBK character, so a plain byte search
// finds exactly the character-aligned occurrences.
std::size_t FindPrefix(std::string_view text, std::string_view prefix) {
  const char* p = text.data();
  const char* end = p + text.size();
  while (p + 1 < end) {
    const void* hit = std::memchr(p, prefix[0], static_cast<std::size_t>(end - p - 1));
    if (hit == nullptr) return std::string_view::npos;
    const char* h = static_cast<const char*>(hit);
    if (h[1] == prefix[1]) return static_cast<std::size_t>(h - text.data());
    p = h + 1;
  }
  return std::string_view::npos;
}

}  // namespace

void ExtractMobilesFromLine(std::string_view line, BuyerSink& sink) {
  // Every prefix starts with "1": a line without one holds no number.
  if (std::memchr(line.data(), '1', line.size()) == nullptr) return;
  std::string_view work = line;
  // The working text only ever shrinks, so a prefix missing once stays
  // missing for the rest of the line.
  std::array<bool, kMobilePrefixes.size()> gone{};
  for (int pass = 0; pass < kPassesPerLine; ++pass) {
    for (std::size_t i = 0; i < kMobilePrefixes.size(); ++i) {
      if (gone[i]) continue;
      const std::size_t at = FindPrefix(work, kMobilePrefixes[i]);
      if (at == std::string_view::npos) {
        gone[i] = true;
        continue;
      }
      work = CutTo(work.substr(at), kTailBytes);
      const std::size_t digits = RunLength(work, kDigits);
      const std::string_view number = work.substr(0, digits);
      work = CutTo(work.substr(digits), kTailBytes);
      if (number.size() == kMobileLength) sink.AddBuyerItem(number, ContactKind::Mobile);
    }
  }
}

void ExtractMobiles(std::span<const std::string> pageLines, BuyerSink& sink) {
  for (const std::string& line : pageLines) ExtractMobilesFromLine(line, sink);
}

}  // namespace brivano
