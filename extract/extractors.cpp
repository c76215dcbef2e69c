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

namespace detail {

std::size_t ExtractTextInWindows(ContactKind kind, std::string_view text, BuyerSink& sink,
                                 std::size_t maxLineBytes, std::size_t windowBytes) {
  // No screen needs more than this many bytes to recognise its marker, so a
  // window that ends inside a marker leaves it whole for the next one.
  constexpr std::size_t kMarkerOverlap = 15;
  windowBytes = std::max(windowBytes, kMarkerOverlap + 1);
  const LineExtractor extract = LineExtractorFor(kind);
  const LineScreen screen = LineScreenFor(kind);
  const char* const base = text.data();
  std::size_t end = text.size();  // becomes the first NUL once it is seen
  std::size_t clearTo = 0;        // [0, clearTo) holds no NUL
  std::size_t scan = 0;           // where the screen goes on
  std::size_t lineFloor = 0;      // the start of the first line not yet read
  while (scan < end) {
    // The text is looked at a window at a time: the NUL check and the screen
    // then read the same bytes while they are still in the cache.
    if (clearTo < std::min(end, scan + windowBytes)) {
      const std::size_t upTo = std::min(end, scan + windowBytes);
      if (const void* nul = std::memchr(base + clearTo, '\0', upTo - clearTo)) {
        end = static_cast<std::size_t>(static_cast<const char*>(nul) - base);
      }
      clearTo = std::min(upTo, end);
    }
    const std::size_t hit = screen(text.substr(scan, clearTo - scan));
    if (hit == std::string_view::npos) {
      if (clearTo == end) break;
      scan = clearTo - kMarkerOverlap;
      continue;
    }
    const std::size_t marker = scan + hit;
    const std::size_t lineStart =
        static_cast<std::size_t>(FindLineStart(base + lineFloor, base + marker) - base);
    const std::size_t lineEnd =
        static_cast<std::size_t>(FindLineEndOrNul(base + marker, base + end) - base);
    extract(text.substr(lineStart, std::min(lineEnd - lineStart, maxLineBytes)), sink);
    if (lineEnd < end && base[lineEnd] == '\0') end = lineEnd;
    if (lineEnd == end) break;
    scan = lineFloor = (base[lineEnd] == '\r' && lineEnd + 1 < end && base[lineEnd + 1] == '\n')
                           ? lineEnd + 2
                           : lineEnd + 1;
  }
  // The rest of the text may not have been looked at for a NUL yet.
  if (clearTo < end) {
    if (const void* nul = std::memchr(base + clearTo, '\0', end - clearTo)) {
      end = static_cast<std::size_t>(static_cast<const char*>(nul) - base);
    }
  }
  return end;
}

}  // namespace detail

std::size_t ExtractText(ContactKind kind, std::string_view text, BuyerSink& sink,
                        std::size_t maxLineBytes) {
  constexpr std::size_t kWindowBytes = 64 * 1024;
  return detail::ExtractTextInWindows(kind, text, sink, maxLineBytes, kWindowBytes);
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
