// The extractor of each contact kind, as a table: the run and the command
// line pick the one that matches the ticked kind.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "base/buyer_list.h"
#include "base/contact_kind.h"

namespace brivano {

using LineExtractor = void (*)(std::string_view line, BuyerSink& sink);

// The line-level extractor of a kind (each line is worked on by itself).
LineExtractor LineExtractorFor(ContactKind kind);

// A quick screen of each kind over a whole text: the position of the first
// byte that a value of that kind needs, or of the first NUL, whichever comes
// first; npos when there is neither. A line without such a byte yields
// nothing.
using TextScreen = std::size_t (*)(std::string_view text);
TextScreen TextScreenFor(ContactKind kind);

// For kinds whose label may stand alone at the end of a line with its value
// leading the next non-blank line (telephone and fax numbers: "咨询热线" on
// one line, "400-007-6266" on the next).
// What the line below a waiting label was: blank, or values and nothing
// else (the label waits on for the next line), or anything else.
enum class BelowLabel { Blank, ReadToTheEnd, Read };

struct LabelAboveValue {
  // Extracts a line as the kind's LineExtractor does; true when the line ends
  // with a label that waits for a value below.
  bool (*extractLine)(std::string_view line, BuyerSink& sink);
  // The values that lead the line below such a label. The line's own labels
  // are read by extractLine as usual; a line read to the end holds none.
  BelowLabel (*extractBelow)(std::string_view line, BuyerSink& sink);
};

// Null for the kinds whose values stand on their label's line.
const LabelAboveValue* LabelAboveValueFor(ContactKind kind);

// The kind's extractor over every line of a text, the lines taken as
// SplitTextLines takes them (NUL ends the text, CR LF / CR / LF, at most
// `maxLineBytes` of a line). Stretches of lines that the screen rejects are
// skipped without being split, which makes large files fast. Returns the
// length of the text that was read: up to its first NUL, or all of it.
std::size_t ExtractText(ContactKind kind, std::string_view text, BuyerSink& sink,
                        std::size_t maxLineBytes = 4096);

// ExtractText over the lines of text[begin, end), a part of the text that
// begins and ends at line starts: a label that waits at the end of the part
// takes its value from the first non-blank line behind it, read from the
// rest of the text. The parts of a text together give what ExtractText gives
// on the whole. Returns the position of the first NUL in the part, or `end`.
std::size_t ExtractTextPart(ContactKind kind, std::string_view text, std::size_t begin,
                            std::size_t end, BuyerSink& sink, std::size_t maxLineBytes = 4096);

// The kind's extractor over the page lines, a label at the end of one line
// taking its value from the line below where the kind allows it.
void ExtractPage(ContactKind kind, std::span<const std::string_view> pageLines, BuyerSink& sink);
void ExtractPage(ContactKind kind, std::span<const std::string> pageLines, BuyerSink& sink);

}  // namespace brivano
