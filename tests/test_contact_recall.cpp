// The extractors against contact lines written as company pages write them:
// every kind must find nearly all of its values and nearly nothing else.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/text.h"
#include "base/text_lines.h"
#include "extract/extractors.h"
#include "testing/contact_lines.h"
#include "testing/recording_sink.h"

namespace brivano::testing {
namespace {

TEST(ContactRecall, EveryKindFindsNearlyAllAndNothingElse) {
  for (ContactKind kind :
       {ContactKind::Mobile, ContactKind::Email, ContactKind::QQ, ContactKind::Fax}) {
    std::size_t expected = 0;
    std::size_t found = 0;
    std::size_t correct = 0;
    for (const ContactLine& line : ContactLines(kind, 1000)) {
      RecordingSink sink;
      ExtractPage(kind, SplitTextLines(Utf8ToGbk(line.text)), sink);
      std::vector<std::string> wanted;
      for (const ExpectedValue& value : line.expected) wanted.push_back(value.value);
      expected += wanted.size();
      found += sink.values.size();
      for (const std::string& value : sink.values) {
        if (auto it = std::find(wanted.begin(), wanted.end(), value); it != wanted.end()) {
          wanted.erase(it);
          ++correct;
        }
      }
    }
    SCOPED_TRACE(static_cast<int>(kind));
    ASSERT_GT(expected, 1000u);
    EXPECT_GE(correct * 100, expected * 99) << correct << " of " << expected << " found";
    EXPECT_GE(correct * 100, found * 99) << correct << " of " << found << " right";
  }
}

}  // namespace
}  // namespace brivano::testing
