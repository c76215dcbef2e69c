// The extractor of each contact kind, as a table: the run and the command
// line pick the one that matches the ticked kind.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "extract/buyer_list.h"
#include "extract/contact_kind.h"

namespace brivano {

using LineExtractor = void (*)(std::string_view line, BuyerSink& sink);

// The line-level extractor of a kind (each line is worked on by itself).
LineExtractor LineExtractorFor(ContactKind kind);

// ExtractMobiles, ExtractEmails, ExtractQQNumbers or ExtractFaxes over the
// page lines.
void ExtractPage(ContactKind kind, std::span<const std::string_view> pageLines, BuyerSink& sink);
void ExtractPage(ContactKind kind, std::span<const std::string> pageLines, BuyerSink& sink);

}  // namespace brivano
