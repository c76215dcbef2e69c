#include "extract/extractors.h"

#include <algorithm>
#include <array>

#include "base/text.h"
#include "extract/email_extractor.h"
#include "extract/fax_extractor.h"
#include "extract/mobile_extractor.h"
#include "extract/qq_extractor.h"

namespace brivano {
namespace {

// Indexed by ContactKind.
constexpr std::array<TextScreen, 4> kTextScreens{
    &FindMobileMarkerOrNul,
    &FindEmailMarkerOrNul,
    &FindQQMarkerOrNul,
    &FindFaxLabelOrNul,
};

constexpr std::array<LineExtractor, 4> kLineExtractors{
    &ExtractMobilesFromLine,
    &ExtractEmailsFromLine,
    &ExtractQQNumbersFromLine,
    &ExtractFaxesFromLine,
};

}  // namespace

LineExtractor LineExtractorFor(ContactKind kind) {
  return kLineExtractors[static_cast<int>(kind)];
}

TextScreen TextScreenFor(ContactKind kind) {
  return kTextScreens[static_cast<int>(kind)];
}

std::size_t ExtractText(ContactKind kind, std::string_view text, BuyerSink& sink,
                        std::size_t maxLineBytes) {
  const LineExtractor extract = LineExtractorFor(kind);
  const TextScreen screen = TextScreenFor(kind);
  const char* const base = text.data();
  const std::size_t size = text.size();
  std::size_t scan = 0;  // always the start of a line
  while (scan < size) {
    // One pass over the bytes finds both the next marker and the NUL that
    // ends the text: a text is read once, however large.
    const std::size_t hit = screen(text.substr(scan));
    if (hit == std::string_view::npos) return size;
    const std::size_t marker = scan + hit;
    if (base[marker] == '\0') return marker;
    const std::size_t lineStart =
        static_cast<std::size_t>(detail::FindLineStart(base + scan, base + marker) - base);
    const std::size_t lineEnd =
        static_cast<std::size_t>(detail::FindLineEndOrNul(base + marker, base + size) - base);
    extract(text.substr(lineStart, std::min(lineEnd - lineStart, maxLineBytes)), sink);
    if (lineEnd == size || base[lineEnd] == '\0') return lineEnd;
    scan = (base[lineEnd] == '\r' && lineEnd + 1 < size && base[lineEnd + 1] == '\n') ? lineEnd + 2
                                                                                      : lineEnd + 1;
  }
  return size;
}

namespace {

template <typename Line>
void ExtractLines(ContactKind kind, std::span<const Line> pageLines, BuyerSink& sink) {
  const LineExtractor extract = LineExtractorFor(kind);
  for (const Line& line : pageLines) extract(line, sink);
}

}  // namespace

void ExtractPage(ContactKind kind, std::span<const std::string_view> pageLines, BuyerSink& sink) {
  ExtractLines(kind, pageLines, sink);
}

void ExtractPage(ContactKind kind, std::span<const std::string> pageLines, BuyerSink& sink) {
  ExtractLines(kind, pageLines, sink);
}

}  // namespace brivano
