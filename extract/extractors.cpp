#include "extract/extractors.h"

#include <array>

#include "extract/email_extractor.h"
#include "extract/fax_extractor.h"
#include "extract/mobile_extractor.h"
#include "extract/qq_extractor.h"

namespace brivano {
namespace {

// Indexed by ContactKind.
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

namespace {

template <typename Line>
void ExtractLines(ContactKind kind, std::span<const Line> pageLines, BuyerSink& sink) {
  const LineExtractor extract = LineExtractorFor(kind);
  if (extract == nullptr) return;
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
