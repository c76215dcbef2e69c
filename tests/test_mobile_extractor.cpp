#include <gtest/gtest.h>

#include <random>

#include "base/text.h"
#include "extract/mobile_extractor.h"
#include "testing/recording_sink.h"

namespace brivano::testing {
namespace {

std::vector<std::string> Harvest(const std::vector<std::string>& utf8Lines) {
  std::vector<std::string> lines;
  for (const auto& line : utf8Lines) lines.push_back(Utf8ToGbk(line));
  RecordingSink sink;
  ExtractMobiles(lines, sink);
  for (ContactKind kind : sink.kinds) EXPECT_EQ(kind, ContactKind::Mobile);
  return sink.values;
}

using V = std::vector<std::string>;

TEST(ExtractMobiles, Table) {
  const std::string far = "13" + std::string(300, 'x') + "18600000000";
  const std::string within = "13 " + std::string(200, 'x') + "18600000000";
  struct Case {
    std::string line;
    V expected;
  } cases[] = {
      {"13800000000", {"13800000000"}},
      {"8613800000000", {"13800000000"}},
      {"+8613800000000", {"13800000000"}},
      {"+86 13800000000", {"13800000000"}},
      {"138000000001", {}},
      {"1380000000", {}},
      {"138-0000-0000", {}},
      {"138 0000 0000", {}},
      {"１３８００００００００", {}},
      {"16600000000", {}},
      {"10000000000 11000000000 12000000000", {}},
      {"14700000000", {"14700000000"}},
      {"17700000000", {"17700000000"}},
      {"19900000000", {"19900000000"}},
      {"手机：14700000000", {"14700000000"}},
      {"手机:17700000000 联系", {"17700000000"}},
      {"15900000000 14700000000", {"14700000000"}},
      {"13800000000 15900000000", {"13800000000", "15900000000"}},
      {"15900000000 13800000000", {"13800000000"}},
      {"13800000001 13800000002 13800000003 13800000004",
       {"13800000001", "13800000002", "13800000003"}},
      {"2013001 later 13800000000", {"13800000000"}},
      {"13800000000 13800000000", {"13800000000", "13800000000"}},
      {far, {}},
      {within, {"18600000000"}},  // within 255 bytes of the first hit
      {"13812345678" + std::string(4000, 'y'), {"13812345678"}},
      {"", {}},
      {"手机", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(Harvest({c.line}), c.expected) << c.line.substr(0, 60);
}

TEST(ExtractMobiles, LinesAreIndependentAndInOrder) {
  EXPECT_EQ(Harvest({"1380000", "0000 15900000000", "18612345678"}),
            (V{"15900000000", "18612345678"}));
  // Three false hits of one prefix on a line use up its three steps.
  EXPECT_EQ(Harvest({"2013 2013 2013 13800000000"}), V{});
  EXPECT_EQ(Harvest({"2013 2013 13800000000"}), V{"13800000000"});
}

TEST(ExtractMobiles, AtMostEighteenPerLine) {
  std::string line;
  for (const char* prefix : {"13", "14", "15", "17", "18", "19"}) {
    for (int i = 0; i < 4; ++i) line += std::string(prefix) + "0000000" + std::to_string(i) + "0 ";
  }
  EXPECT_LE(line.size(), 4096u);
  // The first hit of "13" cuts the working text to 255 bytes from there:
  // only part of the line is seen.
  const V found = Harvest({line});
  EXPECT_LE(found.size(), 18u);
  EXPECT_FALSE(found.empty());
  EXPECT_EQ(found[0], "13000000000");
}

TEST(ExtractMobiles, BadBytesNeverBreakIt) {
  std::string junk;
  for (int b = 0; b < 256; ++b) junk.push_back(static_cast<char>(b));
  EXPECT_EQ(Harvest({junk + "13800000000"}), V{"13800000000"});  // no prefix inside the junk
  std::vector<std::string> raw = {std::string("\x81"
                                              "13800000000",
                                              12),
                                  std::string("\xB0"
                                              "13700000000",
                                              12)};
  RecordingSink sink;
  ExtractMobiles(raw, sink);
  // A digit is never the second byte of a GBK character.
  EXPECT_EQ(sink.values, (V{"13800000000", "13700000000"}));
}

// The extractor's steps written out plainly, with a copied working text and
// string searches, to check the fast version against on random lines.
std::vector<std::string> ReferenceMobiles(const std::string& line) {
  std::vector<std::string> found;
  std::string w = line;
  for (int pass = 0; pass < 3; ++pass) {
    for (const char* prefix : {"13", "14", "15", "17", "18", "19"}) {
      const std::size_t at = w.find(prefix);
      if (at == std::string::npos) continue;
      w = w.substr(at, 255);
      std::size_t n = 0;
      while (n < w.size() && w[n] >= '0' && w[n] <= '9') ++n;
      const std::string number = w.substr(0, n);
      w = w.substr(n, 255);
      if (number.size() == 11) found.push_back(number);
    }
  }
  return found;
}

TEST(ExtractMobiles, AgreesWithThePlainStepsOnRandomLines) {
  std::mt19937 random(11);
  std::size_t numbers = 0;
  const char alphabet[] = "0123456789113456789 -+x\xB0\xA1";
  for (int i = 0; i < 20000; ++i) {
    std::string line;
    const std::size_t length = random() % (i % 10 == 0 ? 700 : 60);
    for (std::size_t k = 0; k < length; ++k)
      line.push_back(alphabet[random() % (sizeof alphabet - 1)]);
    RecordingSink sink;
    ExtractMobilesFromLine(line, sink);
    ASSERT_EQ(sink.values, ReferenceMobiles(line)) << line;
    numbers += sink.values.size();
  }
  EXPECT_GT(numbers, 200u);  // the lines do hold numbers to find
}

}  // namespace
}  // namespace brivano::testing
