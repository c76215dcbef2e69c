// The 号码校验 option: a second look at what an extractor accepted, dropping
// values that cannot be a working contact of their kind. The extractors stay
// as they are; with the option off nothing calls this.
#pragma once

#include <string_view>

#include "base/contact_kind.h"

namespace brivano {

// Whether `value` (GBK, as the extractor produced it) is kept:
//  - a mobile number must lie in a current mainland mobile range;
//  - a fax or telephone number must be a valid mainland fixed-line number
//    (an extension behind a further dash is allowed);
//  - an e-mail address must not be a file name ("logo@2x.png") and its
//    domain must end in a dot and a top-level label of letters;
//  - QQ numbers are always kept.
// Number ranges come from libphonenumber's metadata.
bool PassesContactValidation(std::string_view value, ContactKind kind);

}  // namespace brivano
