#include "extract/extractors.h"

#include <array>

#include "extract/email_extractor.h"
#include "extract/fax_extractor.h"
#include "extract/mobile_extractor.h"
#include "extract/qq_extractor.h"

namespace brivano {
namespace {

// Indexed by ContactKind. Kinds whose extractor is not part of this build yet
// harvest nothing.
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

void ExtractPage(ContactKind kind, std::span<const std::string_view> pageLines, BuyerSink& sink) {
  const LineExtractor extract = LineExtractorFor(kind);
  if (extract == nullptr) return;
  for (std::string_view line : pageLines) extract(line, sink);
}

}  // namespace brivano
