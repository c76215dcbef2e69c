// The extractors against contact lines written as company pages write them,
// generated and copied from real pages: every kind must find nearly all of its
// values and nearly nothing else.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/text.h"
#include "base/text_lines.h"
#include "extract/extractors.h"
#include "testing/contact_lines.h"
#include "testing/real_contact_lines.h"
#include "testing/recording_sink.h"

namespace brivano::testing {
namespace {

TEST(ContactRecall, EveryKindFindsNearlyAllAndNothingElse) {
  const RealCorpusSize real = RealContactLinesSize();
  EXPECT_GE(real.records, 300u);
  EXPECT_GE(real.sources, 100u);
  struct Set {
    const char* name;
    std::vector<ContactLine> (*linesOf)(ContactKind);
    std::size_t minExpected;
    std::size_t recallPerMille;
    std::size_t precisionPerMille;
  };
  const Set sets[] = {
      {"generated", [](ContactKind kind) { return ContactLines(kind, 1000); }, 1000, 990, 999},
      {"real", RealContactLines, 20, 990, 999},
  };
  for (const Set& set : sets) {
    for (ContactKind kind : kAllContactKinds) {
      std::size_t expected = 0;
      std::size_t found = 0;
      std::size_t correct = 0;
      for (const ContactLine& line : set.linesOf(kind)) {
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
      SCOPED_TRACE(std::string(set.name) + " " + std::string(InfoOf(kind).cliName));
      EXPECT_GE(expected, set.minExpected);
      EXPECT_GE(correct * 1000, expected * set.recallPerMille)
          << correct << " of " << expected << " found";
      EXPECT_GE(correct * 1000, found * set.precisionPerMille)
          << correct << " of " << found << " right";
    }
  }
}

}  // namespace
}  // namespace brivano::testing
