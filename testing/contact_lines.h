// Lines of contact details written the way Chinese company pages and result
// snippets write them, each with the values one kind's extractor ought to give
// from it, in order: the ground truth that brivano-recall measures the
// extractors against. The lines mix the kind's values with other kinds' and
// with numbers and "@" that are no contact at all (dates, prices, order and ID
// numbers, image names), and some lines hold nothing but those.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/contact_kind.h"

namespace brivano::testing {

struct ExpectedValue {
  std::string value;       // as the extractor should give it; ASCII, lower case
  std::string_view form;   // how it is written, e.g. "(area)local"
  std::string_view label;  // the label in front of it, "" for none
};

struct ContactLine {
  std::string text;  // UTF-8; Utf8ToGbk before extracting
  std::vector<ExpectedValue> expected;
};

inline constexpr std::uint32_t kContactLinesSeed = 20231201;

// `count` lines for `kind`. The same seed gives the same lines on every
// platform: the draws take std::mt19937's numbers by modulo, not through the
// standard distributions, whose results differ between standard libraries.
std::vector<ContactLine> ContactLines(ContactKind kind, std::size_t count,
                                      std::uint32_t seed = kContactLinesSeed);

}  // namespace brivano::testing
