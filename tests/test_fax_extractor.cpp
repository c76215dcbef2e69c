#include <gtest/gtest.h>

#include <random>

#include "base/text.h"
#include "extract/fax_extractor.h"
#include "testing/extractor_cases.h"

namespace brivano::testing {
namespace {

const ExtractorUnderTest extractor(ContactKind::Fax);

TEST(ExtractFaxes, EveryLabelForm) {
  const V number{"0755-00000000"};
  extractor.RunTable({
      {"传真：0755-00000000", number},
      {"传真： 0755-00000000", number},
      {"传真:0755-00000000", number},
      {"传真: 0755-00000000", number},
      {"传真 0755-00000000", number},
      {"传真  0755-00000000", number},  // two blanks become one first
      {"传真号码：0755-00000000", number},
      {"传真至：0755-00000000", number},
      {"FAX:0755-00000000", number},
      {"Fax：0755-00000000", number},
      {"FAX： 0755-00000000", number},
      {"fax: 0755-00000000", number},
      {"fAx:0755-00000000", number},
      {"fax 0755-00000000", number},
      {"FAX号码：0755-00000000", number},
      {"Fax至：0755-00000000", number},
      {"FAX;0755-00000000", number},
      {"(Fax):0755-00000000", number},
      {"（FAX）：0755-00000000", number},
      {"电话：0755-00000000", number},
      {"公司电话 0755-00000000 欢迎来电", number},
  });
}

TEST(ExtractFaxes, NotALabel) {
  extractor.RunTable({
      {"传真07550000000", {}},
      {"FAX07550000000", {}},
      {"传真号：0755-00000000", {}},
      {"(Fax) 0755-00000000", {}},  // becomes "Fax" glued to the digits
      {"Tel: 0755-00000000", {}},
      {"0755-00000000", {}},
      {"", {}},
  });
}

TEST(ExtractFaxes, OnlyTheFirstLabelOfALineCounts) {
  extractor.RunTable({
      {"电话:0755-11111111 传真：0755-22222222", {"0755-11111111"}},
      {"传真：0755-22222222 电话:0755-11111111", {"0755-22222222"}},
      {"传真：请来电 电话：0755-11111111", {}},
  });
}

TEST(ExtractFaxes, Normalisation) {
  extractor.RunTable({
      {"传真：(0755)00000000", {"0755-00000000"}},
      {"传真：（0755）00000000", {}},  // full-width brackets end the number
      {"传真：+86-755-00000000", {"0755-00000000"}},
      {"传真：+86 755 0000 0000", {"075500000000"}},
      {"传真：0086-755-00000000", {"0755-00000000"}},
      {"传真：0086-86-755-00000000", {"0755-00000000"}},  // two prefixes go
      {"传真：086-755-00000000", {"0755-00000000"}},
      {"Fax: +86-20-12345678 Tel: 8613800000000", {"020-12345678"}},
      {"传真：0755-0000-0000", {}},  // 14 bytes
      {"传真：12345678", {}},        // "012345678": too short
      {"传真：1234567", {}},
      {"传真：13800000000", {"013800000000"}},
      {"传真：0755-00000000-", {"0755-00000000"}},
      {"传真：0755-00000000-123", {}},
      {"传真：0755--00000000", {"0755-00000000"}},
      {"传真：0755----00000000", {"0755-00000000"}},
      {"传真：0755-----00000000", {}},  // five dashes: two stay
      {"传真：0755 - 0000 0000", {"0755-00000000"}},
      {"传真：", {}},
      {"传真：--", {}},
      {"传真：0755-00000000转8", {"0755-00000000"}},
      {"FAX:" + std::string(4000, ' ') + "0755-00000000", {"0755-00000000"}},  // blanks go first
  });
}

// A long run of dashes or brackets behind a label normalises to "0" and
// dashes, 11 to 13 bytes long. That is no number and is not recorded.
TEST(ExtractFaxes, NoNumberWithoutDigits) {
  extractor.RunTable({
      {"电话：" + std::string(48, '-'), {}},
      {"传真：" + std::string(50, '-'), {}},
      {"传真：" + std::string(49, ')'), {}},
      {"传真：86" + std::string(48, '-'), {}},
      {"传真：0" + std::string(48, '-'), {}},
      {"传真：0" + std::string(44, '-') + "1", {"0-----------1"}},  // a digit: kept
  });
}

TEST(ExtractFaxes, DashesMakeDifferentValues) {
  EXPECT_EQ(
      extractor.HarvestGbk({Utf8ToGbk("传真：0755-00000000"), Utf8ToGbk("传真：075500000000")}),
      (V{"0755-00000000", "075500000000"}));
}

// Cases that hinge on GBK structure, as raw GBK bytes. "F", "A" and "X" may be
// second bytes, and the bytes of 电话, 传真 and "：" may stand across two
// characters; none of them is then a label.
TEST(ExtractFaxes, NeverWorksOnSecondBytes) {
  struct RawCase {
    std::string gbk;
    V expected;
    const char* why;
  } cases[] = {
      {"\xB0\x46"
       "AX:0755-00000000",
       {},
       "trail \"F\""},
      {"\xB0\x66"
       "ax 0755-00000000",
       {},
       "trail \"f\""},
      {"\xB0\x46"
       "FAX:0755-00000000",
       {"0755-00000000"},
       "label after the character"},
      // B0B5 E7BB B0A3 BA: the bytes of 电话 and "：" with no such characters.
      {"\xB0\xB5\xE7\xBB\xB0\xA3\xBA"
       "0755-00000000",
       {},
       "电话 across characters"},
      {"\xB0\xB4\xAB\xD5\xE6 0755-00000000", {}, "传真 across characters"},
      {"\xB4\xAB\xD5\xE6\xA3\xBA"
       "0755-00000000",
       {"0755-00000000"},
       "aligned 传真："},
  };
  for (const auto& c : cases) EXPECT_EQ(extractor.HarvestGbk({c.gbk}), c.expected) << c.why;
}

// Lines are screened for "F", "f", 传真 and 电话 sixteen bytes at a time; the
// label is found at every place in a line, near either end and across block
// edges.
TEST(ExtractFaxes, LabelAtEveryOffset) {
  for (const char* written :
       {"传真：0755-00000000", "电话:0755-00000000", "fax 0755-00000000", "FAX:0755-00000000"}) {
    for (int before = 0; before <= 40; ++before) {
      for (int after = 0; after <= 20; ++after) {
        const std::string line =
            std::string(before, '.') + Utf8ToGbk(written) + "." + std::string(after, '.');
        ASSERT_EQ(extractor.HarvestGbk({line}), V{"0755-00000000"})
            << written << " " << before << " " << after;
      }
    }
  }
}

// The screen looks at sixteen bytes at a time; it must find the same first
// byte as a plain scan, whatever the length and wherever the hit.
TEST(ExtractFaxes, ScreenFindsTheFirstMarkerByte) {
  // Whole labels, their halves and letters, so that hits and near hits fall
  // on every place of a block.
  const std::vector<std::string> pieces = {"\xB4\xAB\xD5\xE6",
                                           "\xB5\xE7\xBB\xB0",
                                           "\xB4\xAB",
                                           "\xD5\xE6",
                                           "\xB5\xE7",
                                           "\xBB\xB0",
                                           "\xD5",
                                           "\xBB",
                                           "f",
                                           "F",
                                           "x",
                                           "xx",
                                           "xxxxx",
                                           ":"};
  std::mt19937 random(3);
  for (int round = 0; round < 20000; ++round) {
    std::string text;
    const std::size_t pieceCount = random() % 30;
    for (std::size_t i = 0; i < pieceCount; ++i) {
      const std::size_t k = random() % (pieces.size() + 6);
      text += k < pieces.size() ? pieces[k] : std::string("xxx");
    }
    std::size_t expected = std::string::npos;
    for (std::size_t at = 0; at < text.size() && expected == std::string::npos; ++at) {
      if (text[at] == 'F' || text[at] == 'f' || text.compare(at, 4, pieces[0]) == 0 ||
          text.compare(at, 4, pieces[1]) == 0) {
        expected = at;
      }
    }
    ASSERT_EQ(FindFaxLabelByte(text), expected) << ::testing::PrintToString(text);
  }
}

TEST(ExtractFaxes, LinesAreIndependentAndInOrder) {
  const V lines = {Utf8ToGbk("电话："), "0755-00000000", Utf8ToGbk("传真：020-12345678"),
                   "FAX: 010 1234 5678", "fax"};
  EXPECT_EQ(extractor.HarvestGbk(lines), (V{"020-12345678", "01012345678"}));
}

}  // namespace
}  // namespace brivano::testing
