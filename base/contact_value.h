// A harvested contact as it travels from the page to the buyer list, the
// harvest store and the exports, with the page step it came from. Values of
// one page share that page's provenance, so a long list costs little more
// than its values.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/contact_kind.h"

namespace brivano {

// Where a page's values came from.
struct PageSource {
  std::int32_t keywordLine = 0;  // 1-based line of the keyword list
  std::string keyword{};         // GBK
  std::string engine{};          // as brivano-cli names it: "baidu", "bing", ...
  std::int32_t page = 0;         // 1-based result page of the keyword
  std::string pageUrl{};         // the page's address as requested
  std::string timeUtc{};         // ISO 8601, e.g. "2026-12-07T13:17:48Z"
  std::int64_t runId = 0;        // the store's run; 0 when it has none
  // A page of a result's own site, visited for its contacts (pageUrl is then
  // that page's address and `page` the result page the site stood on).
  bool sitePage = false;
  std::string pageTitle{};  // the site page's title (GBK); empty for result pages
};

// The result a value stood in, as the results page shows it (GBK).
struct ResultOwner {
  std::string title{};    // cleaned of the engine's own suffixes
  std::string company{};  // empty when neither the title nor the text names one
  std::string site{};     // the displayed site
  // The result's own address; empty while only the engine's redirect is known.
  std::string target{};
};

struct ContactValue {
  std::string value;  // GBK, byte for byte as the extractor produced it
  ContactKind kind = ContactKind::Mobile;
  // Null for a value whose origin is not known (a list read back from a file).
  std::shared_ptr<const PageSource> source;
  // The first result block whose text holds the value; null outside every
  // block (ads, side bars) or where blocks were not read.
  std::shared_ptr<const ResultOwner> owner{};
};

// How a page step ended: read (with result blocks or where the engine does
// not say), read without any result, not loaded after every try, or
// answered with a verification page.
enum class PageOutcome { Read, Empty, Failed, Wall };

// One finished page step. Its values normally share its source; values read
// again from an earlier page whose step broke off keep that page's.
struct HarvestedPage {
  std::shared_ptr<const PageSource> source;
  std::vector<ContactValue> values;
  PageOutcome outcome = PageOutcome::Read;
};

}  // namespace brivano
