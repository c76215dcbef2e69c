#include <gtest/gtest.h>

#include <random>

#include "base/text.h"
#include "extract/mobile_extractor.h"
#include "testing/extractor_cases.h"
#include "testing/mobile_steps.h"
#include "testing/recording_sink.h"

namespace brivano::testing {
namespace {

const ExtractorUnderTest extractor(ContactKind::Mobile);

TEST(ExtractMobiles, FormsAsPagesWriteThem) {
  const V one{"13800000000"};
  extractor.RunTable({
      {"13800000000", one},
      {"手机：13800000000", one},
      {"联系人王先生13800000000欢迎来电", one},
      {"8613800000000", one},
      {"+8613800000000", one},
      {"+86 13800000000", one},
      {"(+86)13800000000", one},
      {"008613800000000", one},
      {"0086-13800000000", one},
      {"138-0000-0000", one},
      {"138 0000 0000", one},
      {"138-00000000", one},
      {"张经理１３８００００００００；１３９-0000-0000", {"13800000000", "13900000000"}},
      {"手机：138 00000000。", one},
      {"手机：+86 138 0000 0000", one},
      {"14700000000 15100000000 16600000000 17700000000 19900000000",
       {"14700000000", "15100000000", "16600000000", "17700000000", "19900000000"}},
      // A prefix that stands later in another number's digits hides nothing.
      {"15116710913", {"15116710913"}},
      {"15900000000 13800000000", {"15900000000", "13800000000"}},
      {"2013001 later 13800000000", one},
      {"145.4375.4810 1986 2518 870", {"14543754810", "19862518870"}},
      {"138  0000  0000、138 0000  0000", {"13800000000", "13800000000"}},
      {"１５１－３８０２－０９１５ 151－3802－0915", {"15138020915", "15138020915"}},
  });
}

// Numbers side by side in one grouping, or beside other tokens: each is one.
TEST(ExtractMobiles, GroupedNumbersSideBySide) {
  extractor.RunTable({
      {"138 0000 0000 139 0000 0000", {"13800000000", "13900000000"}},
      {"138.0000.0000.1986.2518.870", {"13800000000", "19862518870"}},
      {"138 0000 0000 13900000000", {"13800000000", "13900000000"}},
      {"155-5376-2561  1758 6106 153", {"15553762561", "17586106153"}},
      {"0755-81027919  1561 3938 138", {"15613938138"}},
      {"191 1928 4025  189-1998-7925", {"19119284025", "18919987925"}},
      {"155 2424 4909/13994046367", {"15524244909", "13994046367"}},
      {"198 0423 1136 2023/12/16 13:45", {"19804231136"}},
      {"176 9564 4738  13800元 11010519850477721X", {"17695644738"}},
  });
}

TEST(ExtractMobiles, NotANumber) {
  extractor.RunTable({
      {"138000000001", {}},  // 12 digits
      {"1380000000", {}},    // 10 digits
      {"10000000000 11000000000 12000000000", {}},
      {"订单号：202312011380000123", {}},
      {"身份证：44030119900101138X", {}},
      {"9913800000000", {}},                    // 13 digits that are no country code
      {"138-0000 0000", {}},                    // two kinds of separator
      {"138--0000--0000", {}},                  // separators are single
      {"138-00000-0000", {}},                   // groups of their exact sizes
      {"138-0000-0000-12", {}},                 // a longer grouping
      {"6222 138 0000 0000", {"13800000000"}},  // a run in front is its own
      {"138-0000-0000-", {"13800000000"}},
      {"138 0000 0000 12", {}},
      {"138.0000.0000.12", {}},
      {"138-0000.0000", {}},
      {"138   0000   0000", {}},  // three blanks
      {"1380.00元 138.00.00", {}},
      // Bank cards grouped by blanks, whose tail reads 4-4-3.
      {"6222 0213 8000 1234 567", {}},
      {"6222 0213 1380 1234 567", {}},
      {"6228-4800-1380-0000-000", {}},
      {"1380 1234 5678 9012 345", {}},
      {"6217 0000 1390 0000", {}},
      {"", {}},
      {"手机", {}},
  });
}

TEST(ExtractMobiles, EveryNumberOfALineInOrderHoweverLong) {
  std::string row;
  V expected;
  for (int i = 0; i < 250; ++i) {
    const std::string number = std::to_string(13000000000LL + i * 1000003LL);
    row += (i % 3 == 0 ? "、" : i % 3 == 1 ? " | " : "手机") + number;
    expected.push_back(number);
  }
  EXPECT_LT(Utf8ToGbk(row).size(), 4096u);
  EXPECT_EQ(extractor.Harvest(row), expected);
  // One chain of 180 blank-separated groups: sixty numbers side by side.
  EXPECT_EQ(extractor.Harvest(Repeat("138 0000 0000 ", 60)), V(60, "13800000000"));
  // Without de-duplication a repeated number is listed each time.
  EXPECT_EQ(extractor.Harvest("13800000000 13800000000"), (V{"13800000000", "13800000000"}));
  EXPECT_EQ(extractor.HarvestGbk({"1380000", "0000 15900000000", "18612345678"}),
            (V{"15900000000", "18612345678"}));
}

TEST(ExtractMobiles, BadBytesNeverBreakIt) {
  std::string junk;
  for (int b = 0; b < 256; ++b) junk.push_back(static_cast<char>(b));
  EXPECT_EQ(extractor.HarvestGbk({junk + "13800000000"}), V{"13800000000"});
  EXPECT_EQ(extractor.HarvestGbk({junk + "0123456789" + "13800000000"}), V{});  // 21 digits
  // A digit is never the second byte of a GBK character.
  EXPECT_EQ(extractor.HarvestGbk(
                {std::string("\x81") + "13800000000", std::string("\xB0") + "13700000000"}),
            (V{"13800000000", "13700000000"}));
}

TEST(ExtractMobiles, AgreesWithThePlainStepsOnRandomLines) {
  const V pieces = {"13800000000", "1",        "13",       "138",      "0000",        "86",
                    "0086",        "+",        "-",        " ",        "--",          "5",
                    "9",           "\xB0\xA1", "\xB0",     "x",        "19900001111", "00",
                    "\xA3\xB1",    "\xA3\xB3", "\xA3\xB8", "\xA3",     "\xB1",        ".",
                    "  ",          "/",        "1380",     "\xA3\xAD", "870",         "12345"};
  const std::size_t values =
      extractor.MatchesPlainStepsOnRandomLines(pieces, 40, 40000, 11, MobilesByPlainSteps);
  EXPECT_GT(values, 2000u);  // the lines do hold numbers to find

  // The screen finds the first place where a number may begin, whatever the
  // length, and never passes over a line that holds one.
  auto screened = [](std::string_view line) {
    std::size_t expected = std::string_view::npos;
    for (std::size_t at = 0; at < line.size() && expected == std::string_view::npos; ++at) {
      const std::string_view rest = line.substr(at);
      const bool digits =
          rest.size() > 2 && rest[0] == '1' && rest[1] >= '3' && rest[1] <= '9' &&
          (kDigits.Contains(static_cast<unsigned char>(rest[2])) || rest[2] == '\xA3');
      if (digits || rest.starts_with("1\xA3") || rest.starts_with("\xA3\xB1")) expected = at;
    }
    EXPECT_EQ(FindMobileMarkerByte(line), expected) << ::testing::PrintToString(line);
    const V numbers = MobilesByPlainSteps(line);
    EXPECT_TRUE(numbers.empty() || expected != std::string_view::npos)
        << ::testing::PrintToString(line);
    return numbers;
  };
  EXPECT_GT(extractor.MatchesPlainStepsOnRandomLines(pieces, 60, 20000, 12, screened), 1000u);
}

}  // namespace
}  // namespace brivano::testing
