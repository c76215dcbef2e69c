// Contact lines copied from public Chinese pages (company sites, B2B listings,
// notices), their digits, names and mailboxes made up but their form kept, each
// labelled with what every kind's extractor ought to give: the ground truth
// that the generated lines (contact_lines.h) can only imitate. They live as
// *.tsv files in testing/real_lines/ of the source tree, one record a line:
// source page, text, then the mobile, email, qq and fax values.
#pragma once

#include <cstddef>
#include <vector>

#include "base/contact_kind.h"
#include "testing/contact_lines.h"

namespace brivano::testing {

// Every record of every file, in file-name and then line order, with what
// `kind` should give from it (nothing, for a decoy). The form of each value is
// "real", its label the source page's host. Throws std::runtime_error naming
// file and line for a record that is not six fields or holds an unknown escape,
// so that a typo cannot silently drop a line from the measurement.
std::vector<ContactLine> RealContactLines(ContactKind kind);

struct RealCorpusSize {
  std::size_t records = 0;
  std::size_t sources = 0;  // distinct pages
};

RealCorpusSize RealContactLinesSize();

}  // namespace brivano::testing
