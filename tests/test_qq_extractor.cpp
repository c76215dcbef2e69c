#include <gtest/gtest.h>

#include <random>

#include "base/text.h"
#include "extract/qq_extractor.h"
#include "testing/extractor_cases.h"
#include "testing/qq_steps.h"

namespace brivano::testing {
namespace {

const ExtractorUnderTest extractor(ContactKind::QQ);

TEST(ExtractQQNumbers, LabelsBetweenMarkerAndNumber) {
  extractor.RunTable({
      {"QQ：12345678", {"12345678"}},
      {"QQ: 12345678", {"12345678"}},
      {"QQ号码：12345678", {"12345678"}},
      {"qq 12345678", {"12345678"}},
      {"Qq12345678", {"12345678"}},
      {"qQ号 12345678", {"12345678"}},
      {"QQ：   12345678", {"12345678"}},  // the colon takes one blank, the marker two
      {"QQ  12345678", {"12345678"}},     // two blanks go
      {"QQ   12345678", {}},              // the third stays
      {"QQ，12345678", {"12345678"}},
      {"QQ,12345678", {"12345678"}},
      {"QQ , 12345678", {}},  // the comma goes after the blanks: one stays
      {"QQ - 12345678", {}},  // the dash goes after the blank steps: one blank stays
      {"QQ:123-456-789", {"123456789"}},
      {"QQ群：12345678", {}},
      {"QQ/微信 12345678", {"12345678"}},
      {"QQ/微信号：12345678", {"12345678"}},
      {"QQ／微信：12345678", {"12345678"}},
      {"QQ：12345678/微信：87654321", {"12345678"}},
      {"Q Q：55555555", {"55555555"}},
      {"q q 55555555", {"55555555"}},
      {"Q  Q：55555555", {}},
      {"QQ:1234", {}},
      {"QQ:12345678901", {}},
      {"QQ:12345", {"12345"}},
      {"QQ:1234567890", {"1234567890"}},
      {"QQ:１２３４５６７８", {}},  // full-width digits are no digits
      {"", {}},
      {"没有号码 12345678", {}},
  });
}

TEST(ExtractQQNumbers, QzoneAddresses) {
  extractor.RunTable({
      {"http://user.qzone.qq.com/123456789", {"123456789"}},
      {"USER.QZONE.QQ.COM/123456789/infocenter", {"123456789"}},
      {"user.qzone.qq.com/", {}},
      // The mail domain: "qq" becomes a marker that is followed by ".com".
      {"12345678@qq.com", {}},
  });
}

TEST(ExtractQQNumbers, EveryMarkerAndListOfALine) {
  extractor.RunTable({
      {"QQ:11111 QQ:22222 QQ:33333 QQ:44444 QQ:55555",
       {"11111", "22222", "33333", "44444", "55555"}},
      {"QQ:11111 QQ:11111", {"11111", "11111"}},
      {"a@qq.com b@qq.com c@qq.com QQ:22222", {"22222"}},
      {"QQ:11111 QQ   22222", {"11111"}},          // the clean-up runs once: the third blank stays
      {"Q-Q:12345 QQ:67890", {"12345", "67890"}},  // a marker joined by the clean-up
      {"QQ:11111" + std::string(3000, 'x') + "QQ:22222", {"11111", "22222"}},
      {"QQ：85203060或883492302、1234567 / 7654321/55555555,66666；77777",
       {"85203060", "883492302", "1234567", "7654321", "55555555", "66666", "77777"}},
      {"QQ：85203060、1234", {"85203060"}},
      {"QQ：12345678，电话：0755", {"12345678"}},
      {"QQ:106812093，2023-12-10", {"106812093", "20231210"}},
      {"客服QQ\t26585928。　ＱＱ: 6834750 ｑｑ：7654321", {"26585928", "6834750", "7654321"}},
      {"QQ号码　2624117085", {"2624117085"}},
  });
}

// Cases that hinge on GBK structure, as raw GBK bytes. "Q" (0x51), "q"
// (0x71) may be the second byte of a Chinese character: it is no marker, and
// its character is not changed by the case step.
TEST(ExtractQQNumbers, NeverWorksOnSecondBytes) {
  struct RawCase {
    std::string gbk;
    V expected;
    const char* why;
  } cases[] = {
      {"\xB0\x51Q12345678", {}, "trail \"Q\" and a \"Q\" are no marker"},
      {"\xB0\x71q12345678", {}, "trail \"q\" and a \"q\" are no marker"},
      {"\xB0\x51QQ12345678", {"12345678"}, "the marker after the character"},
      {"\xB0\x51Q Q-Q:12345678", {}, "a half marker is no marker to start the clean-up"},
      {Repeat("\xB0\x51Q1 ", 3) + "QQ12345", {"12345"}, "half markers use no pass"},
      // 号 is BA C5. Here BA is the second byte of B0BA and C5 the first of
      // C5 C5: no "号" to delete, so the marker stays apart from its number.
      {"QQ\xB0\xBA\xC5\xC5"
       "12345678",
       {},
       "no 号 across characters"},
      {"QQ\xBA\xC5"
       "12345678",
       {"12345678"},
       "an aligned 号 goes"},
      // "：" is A3 BA; across two characters it is no colon.
      {"QQ\xB0\xA3\xBA\x41"
       "12345678",
       {},
       "no ： across characters"},
      {"QQ\xA3\xBA"
       "12345678",
       {"12345678"},
       "an aligned ： goes"},
  };
  for (const auto& c : cases) EXPECT_EQ(extractor.HarvestGbk({c.gbk}), c.expected) << c.why;
}

// Lines are screened for "q" pairs sixteen bytes at a time; the marker is
// found at every place in a line, near either end and across block edges.
TEST(ExtractQQNumbers, MarkerAtEveryOffset) {
  for (const char* written : {"QQ:12345", "qq 12345", "Q q:12345", "user.qzone.qq.com/12345"}) {
    for (int before = 0; before <= 40; ++before) {
      for (int after = 0; after <= 20; ++after) {
        const std::string line = std::string(before, '.') + written + std::string(after, '.');
        ASSERT_EQ(extractor.HarvestGbk({line}), V{"12345"})
            << written << " " << before << " " << after;
      }
    }
  }
}

// The screen looks for "qq" and "q q" sixteen bytes at a time; it must find the
// same first byte as a plain scan, whatever the length and wherever the hit.
TEST(ExtractQQNumbers, ScreenFindsTheFirstMarkerByte) {
  const std::string alphabet = std::string("Qq1\xB0\x51\x71 ") + std::string(20, 'x');
  std::mt19937 random(2);
  for (int round = 0; round < 20000; ++round) {
    std::string text(random() % 70, ' ');
    for (char& c : text) c = alphabet[random() % alphabet.size()];
    auto isQ = [&](std::size_t at) {
      return at < text.size() && (text[at] == 'Q' || text[at] == 'q');
    };
    std::size_t expected = std::string::npos;
    for (std::size_t at = 0; at < text.size() && expected == std::string::npos; ++at) {
      if (isQ(at) &&
          (isQ(at + 1) || (at + 2 < text.size() && text[at + 1] == ' ' && isQ(at + 2)))) {
        expected = at;
      }
    }
    ASSERT_EQ(FindQQMarkerByte(text), expected) << ::testing::PrintToString(text);
  }
}

TEST(ExtractQQNumbers, LinesAreIndependentAndInOrder) {
  const V lines = {Utf8ToGbk("QQ号：12345"), "QQ", "67890", "qq:24680 QQ:13579"};
  EXPECT_EQ(extractor.HarvestGbk(lines), (V{"12345", "24680", "13579"}));
}

// The extractor skips text and steps that cannot change what it finds; on
// random lines built from the pieces that matter (markers in every case,
// labels, separators, half characters) it must give what the steps give one
// after the other.
TEST(ExtractQQNumbers, AgreesWithThePlainSteps) {
  const V pieces = {"Q",
                    "q",
                    "QQ",
                    "qQ",
                    "Qq",
                    "qq",
                    "12345",
                    "678",
                    "9",
                    " ",
                    ":",
                    "-",
                    ",",
                    "@",
                    ".",
                    "user.qzone.qq.com/",
                    "USER.QZONE.QQ.COM/",
                    "user",
                    "zone",
                    ".com/",
                    "x",
                    "\x81",
                    "\xB0",
                    "\xB0Q",
                    "\xB0q",
                    "\xA3",
                    Utf8ToGbk("："),
                    Utf8ToGbk("，"),
                    Utf8ToGbk("号"),
                    Utf8ToGbk("号码"),
                    Utf8ToGbk("邮箱"),
                    Utf8ToGbk("中文"),
                    std::string(250, '1'),
                    "QQ:12345",
                    Utf8ToGbk("qq号码：1234567"),
                    "Qq - 123456",
                    "user.qzone.qq.com/7654321",
                    "Q Q",
                    "/",
                    Utf8ToGbk("QQ/微信"),
                    Utf8ToGbk("微信"),
                    Utf8ToGbk("／")};
  EXPECT_GT(extractor.MatchesPlainStepsOnRandomLines(pieces, 20, 30000, 21, QQNumbersByPlainSteps),
            5000u);
}

}  // namespace
}  // namespace brivano::testing
