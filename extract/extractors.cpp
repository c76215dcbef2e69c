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

constexpr LabelAboveValue kFaxLabelAbove{&ExtractFaxesFromLineWaiting, &ExtractFaxesBelowLabel};

constexpr std::array<const LabelAboveValue*, 4> kLabelsAbove{nullptr, nullptr, nullptr,
                                                             &kFaxLabelAbove};

// Behind the line break at `lineEnd`: the next line's start.
std::size_t NextLineStart(std::string_view text, std::size_t lineEnd) {
  const bool crLf = text[lineEnd] == '\r' && lineEnd + 1 < text.size() && text[lineEnd + 1] == '\n';
  return lineEnd + (crLf ? 2 : 1);
}

// Reads the lines from `from` (a line start) with `below` while the label
// waits, and returns the start of the line that ended the wait, so that its
// own labels are read next; the text's end or its first NUL when none did.
// The lines passed over hold no label.
std::size_t ValueBelow(const LabelAboveValue& below, std::string_view text, std::size_t from,
                       BuyerSink& sink, std::size_t maxLineBytes) {
  const char* const base = text.data();
  while (from < text.size() && base[from] != '\0') {
    const std::size_t lineEnd =
        static_cast<std::size_t>(detail::FindLineEndOrNul(base + from, base + text.size()) - base);
    const std::string_view line = text.substr(from, std::min(lineEnd - from, maxLineBytes));
    if (below.extractBelow(line, sink) == BelowLabel::Read) return from;
    if (lineEnd == text.size() || base[lineEnd] == '\0') return lineEnd;
    from = NextLineStart(text, lineEnd);
  }
  return from;
}

}  // namespace

const LabelAboveValue* LabelAboveValueFor(ContactKind kind) {
  return kLabelsAbove[static_cast<int>(kind)];
}

LineExtractor LineExtractorFor(ContactKind kind) {
  return kLineExtractors[static_cast<int>(kind)];
}

TextScreen TextScreenFor(ContactKind kind) {
  return kTextScreens[static_cast<int>(kind)];
}

std::size_t ExtractText(ContactKind kind, std::string_view text, BuyerSink& sink,
                        std::size_t maxLineBytes) {
  return ExtractTextPart(kind, text, 0, text.size(), sink, maxLineBytes);
}

std::size_t ExtractTextPart(ContactKind kind, std::string_view text, std::size_t begin,
                            std::size_t end, BuyerSink& sink, std::size_t maxLineBytes) {
  const LineExtractor extract = LineExtractorFor(kind);
  const LabelAboveValue* const labelAbove = LabelAboveValueFor(kind);
  const TextScreen screen = TextScreenFor(kind);
  const char* const base = text.data();
  std::size_t scan = begin;  // always the start of a line
  while (scan < end) {
    // One pass over the bytes finds both the next marker and the NUL that
    // ends the text: a text is read once, however large.
    const std::size_t hit = screen(text.substr(scan, end - scan));
    if (hit == std::string_view::npos) return end;
    const std::size_t marker = scan + hit;
    if (base[marker] == '\0') return marker;
    const std::size_t lineStart =
        static_cast<std::size_t>(detail::FindLineStart(base + scan, base + marker) - base);
    const std::size_t lineEnd =
        static_cast<std::size_t>(detail::FindLineEndOrNul(base + marker, base + end) - base);
    const std::string_view line =
        text.substr(lineStart, std::min(lineEnd - lineStart, maxLineBytes));
    bool waits = false;
    if (labelAbove != nullptr) {
      waits = labelAbove->extractLine(line, sink);
    } else {
      extract(line, sink);
    }
    if (lineEnd == text.size() || base[lineEnd] == '\0') return lineEnd;
    scan = NextLineStart(text, lineEnd);
    // The lines below a waiting label are read though the screen passes over
    // them; the first non-blank one may lie in the next part.
    if (waits) scan = ValueBelow(*labelAbove, text, scan, sink, maxLineBytes);
  }
  return end;
}

namespace {

template <typename Line>
void ExtractLines(ContactKind kind, std::span<const Line> pageLines, BuyerSink& sink) {
  const LabelAboveValue* const labelAbove = LabelAboveValueFor(kind);
  if (labelAbove == nullptr) {
    const LineExtractor extract = LineExtractorFor(kind);
    for (const Line& line : pageLines) extract(line, sink);
    return;
  }
  bool waiting = false;
  for (const Line& line : pageLines) {
    if (waiting) waiting = labelAbove->extractBelow(line, sink) != BelowLabel::Read;
    waiting = labelAbove->extractLine(line, sink) || waiting;
  }
}

}  // namespace

void ExtractPage(ContactKind kind, std::span<const std::string_view> pageLines, BuyerSink& sink) {
  ExtractLines(kind, pageLines, sink);
}

void ExtractPage(ContactKind kind, std::span<const std::string> pageLines, BuyerSink& sink) {
  ExtractLines(kind, pageLines, sink);
}

}  // namespace brivano
