// The shared shape of the extractor tests: run one kind's extractor over
// lines and compare what it harvests, case by case.
#pragma once

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "base/contact_kind.h"
#include "base/text.h"
#include "extract/extractors.h"
#include "testing/recording_sink.h"

namespace brivano::testing {

using V = std::vector<std::string>;

struct Case {
  std::string line;  // UTF-8
  V expected;
};

inline std::string Repeat(std::string_view piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

class ExtractorUnderTest {
 public:
  explicit ExtractorUnderTest(ContactKind kind) : kind_(kind) {}

  // What the extractor harvests from GBK lines; every value must carry the
  // extractor's kind.
  V HarvestGbk(const V& gbkLines) const {
    RecordingSink sink;
    ExtractPage(kind_, std::span<const std::string>(gbkLines), sink);
    for (ContactKind kind : sink.kinds) EXPECT_EQ(kind, kind_);
    return sink.values;
  }

  V Harvest(const std::string& utf8Line) const { return HarvestGbk({Utf8ToGbk(utf8Line)}); }

  // Lines of one to `maxPieces` pieces drawn at random: on each the extractor
  // must give what `plainSteps` gives. Returns how many values that was.
  template <typename PlainSteps>
  std::size_t MatchesPlainStepsOnRandomLines(const V& pieces, int maxPieces, int rounds,
                                             unsigned seed, PlainSteps plainSteps) const {
    std::mt19937 random(seed);
    std::size_t values = 0;
    for (int round = 0; round < rounds && !::testing::Test::HasFailure(); ++round) {
      std::string line;
      const int count = 1 + static_cast<int>(random() % static_cast<unsigned>(maxPieces));
      for (int i = 0; i < count; ++i) line += pieces[random() % pieces.size()];
      const V expected = plainSteps(line);
      EXPECT_EQ(HarvestGbk({line}), expected) << ::testing::PrintToString(line);
      values += expected.size();
    }
    return values;
  }

  void RunTable(const std::vector<Case>& cases) const {
    for (const auto& c : cases) EXPECT_EQ(Harvest(c.line), c.expected) << c.line.substr(0, 80);
  }

 private:
  ContactKind kind_;
};

}  // namespace brivano::testing
