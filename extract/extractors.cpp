#include "extract/extractors.h"

#include <array>

#include "extract/mobile_extractor.h"

namespace brivano {
namespace {

// Indexed by ContactKind. Kinds whose extractor is not part of this build yet
// harvest nothing.
constexpr std::array<LineExtractor, 4> kLineExtractors{
    &ExtractMobilesFromLine,
    nullptr,
    nullptr,
    nullptr,
};

}  // namespace

LineExtractor LineExtractorFor(ContactKind kind) {
  return kLineExtractors[static_cast<int>(kind)];
}

void ExtractPage(ContactKind kind, std::span<const std::string> pageLines, BuyerSink& sink) {
  const LineExtractor extract = LineExtractorFor(kind);
  if (extract == nullptr) return;
  for (const std::string& line : pageLines) extract(line, sink);
}

}  // namespace brivano
