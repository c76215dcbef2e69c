#include <gtest/gtest.h>

#include <random>

#include "base/text.h"
#include "extract/fax_extractor.h"
#include "testing/extractor_cases.h"
#include "testing/fax_steps.h"

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
      {"传真 ：0755-00000000", number},
      {"传真：　0755-00000000", number},  // a full-width blank
      {"传真号码：0755-00000000", number},
      {"传真至：0755-00000000", number},
      {"FAX:0755-00000000", number},
      {"Fax：0755-00000000", number},
      {"FAX： 0755-00000000", number},
      {"fAx:0755-00000000", number},
      {"fax 0755-00000000", number},
      {"FAX号码：0755-00000000", number},
      {"Fax至：0755-00000000", number},
      {"FAX;0755-00000000", number},
      {"(Fax):0755-00000000", number},
      {"（FAX）：0755-00000000", number},
      {"电话：0755-00000000", number},
      {"联系电话：0755-00000000", number},
      {"公司电话 0755-00000000 欢迎来电", number},
      {"座机：0755-00000000", number},
      {"Tel:0755-00000000", number},
      {"TEL 0755-00000000", number},
      {"Tel：0755-00000000", number},
      {"Telephone: 0755-00000000", number},
      {"Phone: 0755-00000000", number},
      {"电话/传真：0755-00000000", number},
      {"Tel/Fax: 0755-00000000", number},
  });
}

TEST(ExtractFaxes, LabelsGluedToTheirNumbersAndInTables) {
  extractor.RunTable({
      {"传真07550000000", {"07550000000"}},
      {"东莞五金厂电话020-27222017", {"020-27222017"}},
      {"FAX0668-6559996，欢迎来电", {"0668-6559996"}},
      {"TEL19904034605", {"19904034605"}},
      {"总机+86-769-79855961", {"0769-79855961"}},
      {"传真号：0755-00000000", {"0755-00000000"}},
      {"电话号码:(0512)92272762", {"0512-92272762"}},
      {"(Fax) 0755-00000000", {"0755-00000000"}},
      {"Tel\t021 55698222", {"02155698222"}},
      {"热线\t400-693-8149", {"400-693-8149"}},
      {"Hotline： 400-786-8789", {"400-786-8789"}},
      {"固话：0755-00000000 专线：0755-11111111", {"0755-00000000", "0755-11111111"}},
  });
}

TEST(ExtractFaxes, NotALabel) {
  extractor.RunTable({
      {"Telnet 端口 23", {}},
      {"iPhone 15 Pro 256GB", {}},
      {"Fax-free 2.0", {}},
      {"电话24小时在线", {}},
      {"0755-00000000", {}},
      {"手机：0755-00000000", {}},
      {"", {}},
  });
}

TEST(ExtractFaxes, EveryLabelOfALineAndEveryNumberOfAList) {
  extractor.RunTable({
      {"电话:0755-11111111 传真：0755-22222222", {"0755-11111111", "0755-22222222"}},
      {"传真：0755-22222222 电话:0755-11111111", {"0755-22222222", "0755-11111111"}},
      {"传真：请来电 电话：0755-11111111", {"0755-11111111"}},
      {"电话：0755-11111111、0755-22222222/020-33333333，13800000000",
       {"0755-11111111", "0755-22222222", "020-33333333", "13800000000"}},
      {"电话：0755-11111111、地址：深圳", {"0755-11111111"}},
      {"座机：（0731）96623641；0592-6394827或020-33333333",
       {"0731-96623641", "0592-6394827", "020-33333333"}},
      {"电话：0755-11111111/传真：0755-22222222", {"0755-11111111", "0755-22222222"}},
  });
}

TEST(ExtractFaxes, Normalisation) {
  extractor.RunTable({
      {"传真：(0755)00000000", {"0755-00000000"}},
      {"联系电话：（0755）8345678", {"0755-8345678"}},
      {"传真：0755－00000000", {"0755-00000000"}},
      {"传真：+86-755-00000000", {"0755-00000000"}},
      {"传真：+86 755 0000 0000", {"075500000000"}},
      {"Tel: 010 87654321", {"01087654321"}},
      {"传真：0086-755-00000000", {"0755-00000000"}},
      {"传真：0086-86-755-00000000", {"0755-00000000"}},  // two prefixes go
      {"传真：086-755-00000000", {"0755-00000000"}},
      {"Fax: +86-20-12345678 Tel: 8613800000000", {"020-12345678", "13800000000"}},
      {"传真：0755-0000-0000", {}},  // 14 bytes
      {"传真：12345678", {}},        // "012345678": too short
      {"传真：1234567", {}},
      {"传真：0755-00000000-", {"0755-00000000"}},
      {"传真：0755-00000000-123", {}},
      {"传真：0755--00000000", {"0755-00000000"}},
      {"传真：0755----00000000", {"0755-00000000"}},
      {"传真：0755-----00000000", {}},  // five dashes: two stay
      {"传真：0755 - 0000 0000", {"0755-00000000"}},
      {"传真：", {}},
      {"传真：0755-00000000转8", {"0755-00000000"}},
      {"FAX:" + std::string(4000, ' ') + "0755-00000000", {"0755-00000000"}},  // blanks go first
  });
}

// A mobile number behind a label is the mobile number, whatever its form;
// service numbers keep the form they are dialled in.
TEST(ExtractFaxes, MobileAndServiceNumbers) {
  extractor.RunTable({
      {"电话：18193900806", {"18193900806"}},
      {"传真：13800000000", {"13800000000"}},
      {"Tel: +86 138 0000 0000", {"13800000000"}},
      {"电话：138-0000-0000", {"13800000000"}},
      {"电话：(+86)13800000000", {"13800000000"}},
      {"服务热线：400-888-8888", {"400-888-8888"}},
      {"热线：4009-333-333", {"4009-333-333"}},
      {"热线：800 830 8300", {"8008308300"}},
      {"热线：400-888-888", {}},  // nine digits
  });
}

// A label followed by dashes or brackets (a divider line, an empty form
// field) or a short run such as a date is no number.
TEST(ExtractFaxes, NoNumberWithoutItsDigits) {
  extractor.RunTable({
      {"电话：" + std::string(48, '-'), {}},
      {"传真：" + std::string(50, '-'), {}},
      {"传真：" + std::string(49, ')'), {}},
      {"传真：86" + std::string(48, '-'), {}},
      {"传真：0" + std::string(44, '-') + "1", {}},
      {"传真：2023-12-01", {}},
      {"传真：--", {}},
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
  std::vector<std::string> words = {"tel", "pho", "hot"};
  for (const char* word : {"传真", "电话", "座机", "固话", "总机", "热线", "专线"}) {
    words.push_back(Utf8ToGbk(word));
  }
  // Whole words, their halves and letters, so that hits and near hits fall
  // on every place of a block.
  std::vector<std::string> pieces = {"f",  "F",  "x",  "xx", "xxxxx", ":", "T",
                                     "tE", "eL", "Ph", "O",  "H",     "oT"};
  for (const std::string& word : words) {
    pieces.push_back(word);
    pieces.push_back(word.substr(0, 2));
    pieces.push_back(word.substr(1));
  }
  auto plainScan = [&](const std::string& text) {
    for (std::size_t at = 0; at < text.size(); ++at) {
      if ((text[at] | 0x20) == 'f') return at;
      for (const std::string& word : words) {
        if (LowerAscii(text.substr(at, word.size())) == word) return at;
      }
    }
    return std::string::npos;
  };
  std::mt19937 random(3);
  for (int round = 0; round < 20000; ++round) {
    std::string text;
    const std::size_t pieceCount = random() % 30;
    for (std::size_t i = 0; i < pieceCount; ++i) {
      const std::size_t k = random() % (pieces.size() + 6);
      text += k < pieces.size() ? pieces[k] : std::string("xxx");
    }
    ASSERT_EQ(FindFaxLabelByte(text), plainScan(text)) << ::testing::PrintToString(text);
  }
}

TEST(ExtractFaxes, AgreesWithThePlainStepsOnRandomLines) {
  V pieces = {"0755",        "-",   "(", ")",        "+86", "0086", " ", "  ",
              "13800000000", "400", "8", "12345678", ";",   ":",    "x", "\xB0"};
  for (const char* utf8 :
       {"电话", "传真", "热线", "Tel",   "FAX", "fax",  "号码", "：", "（", "）", "、",     "/",
        "，",   "　",   "－",   "Phone", "至",  "总机", "\t",   "；", "或", "号", "Hotline"}) {
    pieces.push_back(Utf8ToGbk(utf8));
  }
  const std::size_t values =
      extractor.MatchesPlainStepsOnRandomLines(pieces, 24, 30000, 5, FaxesByPlainSteps);
  EXPECT_GT(values, 300u);  // the lines do hold numbers to find
}

TEST(ExtractFaxes, LinesAreIndependentAndInOrder) {
  const V lines = {Utf8ToGbk("电话："), "0755-00000000", Utf8ToGbk("传真：020-12345678"),
                   "FAX: 010 1234 5678", "fax"};
  EXPECT_EQ(extractor.HarvestGbk(lines), (V{"020-12345678", "01012345678"}));
}

}  // namespace
}  // namespace brivano::testing
