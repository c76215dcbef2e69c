#include "extract/extractors.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "extract/email_extractor.h"
#include "extract/fax_extractor.h"
#include "extract/mobile_extractor.h"
#include "extract/qq_extractor.h"
#include "extract/text.h"

namespace brivano {
namespace {

// Indexed by ContactKind.
constexpr std::array<LineScreen, 4> kLineScreens{
    &FindMobileMarkerByte,
    &FindEmailMarkerByte,
    &FindQQMarkerByte,
    &FindFaxLabelByte,
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

LineScreen LineScreenFor(ContactKind kind) {
  return kLineScreens[static_cast<int>(kind)];
}

void ExtractText(ContactKind kind, std::string_view text, BuyerSink& sink,
                 std::size_t maxLineBytes) {
  if (const void* nul = std::memchr(text.data(), '\0', text.size())) {
    text = text.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - text.data()));
  }
  const LineExtractor extract = LineExtractorFor(kind);
  const LineScreen screen = LineScreenFor(kind);
  const char* const base = text.data();
  const std::size_t size = text.size();
  std::size_t pos = 0;  // always the start of a line
  while (pos < size) {
    const std::size_t hit = screen(text.substr(pos));
    if (hit == std::string_view::npos) return;
    const std::size_t marker = pos + hit;
    // The line that holds the marker starts after the last break before it.
    std::size_t lineStart = pos;
    for (const char lineBreak : {'\n', '\r'}) {
      if (const void* found = ::memrchr(base + pos, lineBreak, marker - pos)) {
        lineStart = std::max(lineStart,
                             static_cast<std::size_t>(static_cast<const char*>(found) - base) + 1);
      }
    }
    const std::size_t lineEnd =
        static_cast<std::size_t>(detail::FindLineEndOrNul(base + marker, base + size) - base);
    extract(text.substr(lineStart, std::min(lineEnd - lineStart, maxLineBytes)), sink);
    if (lineEnd == size) return;
    pos = (base[lineEnd] == '\r' && lineEnd + 1 < size && base[lineEnd + 1] == '\n') ? lineEnd + 2
                                                                                     : lineEnd + 1;
  }
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
