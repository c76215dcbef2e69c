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

// The kind's extractor over every line of a text, the lines taken as
// SplitTextLines takes them (NUL ends the text, CR LF / CR / LF, at most
// `maxLineBytes` of a line). Stretches of lines that the screen rejects are
// skipped without being split, which makes large files fast. Returns the
// length of the text that was read: up to its first NUL, or all of it.
std::size_t ExtractText(ContactKind kind, std::string_view text, BuyerSink& sink,
                        std::size_t maxLineBytes = 4096);

// ExtractMobiles, ExtractEmails, ExtractQQNumbers or ExtractFaxes over the
// page lines.
void ExtractPage(ContactKind kind, std::span<const std::string_view> pageLines, BuyerSink& sink);
void ExtractPage(ContactKind kind, std::span<const std::string> pageLines, BuyerSink& sink);

}  // namespace brivano
