#include <gtest/gtest.h>

#include <random>

#include "base/text.h"
#include "extract/email_extractor.h"
#include "testing/email_steps.h"
#include "testing/extractor_cases.h"

namespace brivano::testing {
namespace {

const ExtractorUnderTest extractor(ContactKind::Email);

TEST(ExtractEmails, CaseAndNumberSigns) {
  extractor.RunTable({
      {"Sales@Example.COM", {"sales@example.com"}},
      {"邮箱：SALES@QQ.COM 欢迎", {"sales@qq.com"}},
      {"sales#example.com", {"sales@example.com"}},
      {"sales＃example.com", {"sales@example.com"}},
      {"邮箱：Info＠Sohu.com、tom-lee＠163.com", {"info@sohu.com", "tom-lee@163.com"}},
      {"联系sales＃163.com或info#126.com", {"sales@163.com", "info@126.com"}},
  });
}

TEST(ExtractEmails, DomainAcceptance) {
  const std::string domain39 = std::string(35, 'd') + ".com";
  const std::string domain40 = std::string(36, 'd') + ".com";
  extractor.RunTable({
      {"a@b.cn", {}},            // four bytes
      {"a@ab.c", {}},            // four bytes, first dot third
      {"a@ab.cn", {"a@ab.cn"}},  // five bytes, first dot third
      {"a@b.com", {}},           // first dot second
      {"a@localhost", {}},       // no dot
      {"a@" + domain39, {"a@" + domain39}},
      {"a@" + domain40, {}},
      {"news@page123.htm", {}},  // a web page, not a host
      {"news@www.site.com.html", {}},
      {"a@-example.com-", {"a@example.com"}},
      {"Write to a@example.com.", {"a@example.com"}},  // full stop of the sentence
      // Pictures drawn at a scale, style sheets and scripts are no hosts;
      // neither is a number.
      {"logo@2x.png icon@3x.WEBP a@cdn.site.jpeg b@img.gif c@ab.svg d@theme.css e@main.js", {}},
      {"f@ab.jpg g@ab.pngs 房间12#301.5 h@ab.c1", {"g@ab.pngs"}},
      {"sales@company.com.cn、info@abc.net", {"sales@company.com.cn", "info@abc.net"}},
  });
}

TEST(ExtractEmails, LocalPartClean) {
  extractor.RunTable({
      {"-_&.sales.-@example.com", {"sales@example.com"}},
      {std::string(11, '-') + "x@example.com", {"-x@example.com"}},  // ten go, one stays
      {std::string(10, '-') + "x@example.com", {"x@example.com"}},
      {"a..b@example.com", {"b@example.com"}},
      {"ab@exa..mple.com", {}},  // domain cut before "..": no dot left
      {"ab@example.com..cn", {"ab@example.com"}},
      {"name+tag@example.com", {"tag@example.com"}},
      {"联系人张三abc@example.com", {"abc@example.com"}},
      {"%user@example.com", {"user@example.com"}},
      {"+@example.com", {}},  // empty local part
      {"/@example.com", {}},
      {std::string(300, 'x') + "@example.com", {std::string(255, 'x') + "@example.com"}},
  });
}

TEST(ExtractEmails, PassesAndOrderOnOneLine) {
  V twelve;
  std::string twelveLine;
  for (int i = 0; i < 12; ++i) {
    const std::string address = "u" + std::to_string(i) + "@example.com";
    if (i < 10) twelve.push_back(address);
    twelveLine += address + " ";
  }
  extractor.RunTable({
      {"a@example.com;b@example.org", {"a@example.com", "b@example.org"}},
      {"a@example.com b@example.org", {"a@example.com", "b@example.org"}},
      {"@ a@example.com", {}},  // first "@" is the first byte
      {"#top a@example.com", {}},
      {"a@example.com@other.com b@example.org", {"a@example.com"}},
      {"a@@example.com", {}},
      {twelveLine, twelve},
      {"a@example.com a@example.com", {"a@example.com", "a@example.com"}},
      // Number signs that are no addresses use up passes: nine leave one.
      {Repeat("x#1 ", 9) + "a@example.com", {"a@example.com"}},
      {Repeat("x#1 ", 10) + "a@example.com", {}},
      // Only 255 bytes after an "@" are looked at.
      {"a@example.com" + std::string(200, ' ') + "b@example.org",
       {"a@example.com", "b@example.org"}},
      {"a@example.com" + std::string(250, ' ') + "b@example.org", {"a@example.com"}},
      {"", {}},
      {"no address here", {}},
  });
}

// Cases that hinge on GBK structure, given as raw GBK bytes. A letter, "_"
// or "@" may be the second byte of a Chinese character; it is no part of an
// address and no marker.
TEST(ExtractEmails, NeverWorksOnSecondBytes) {
  struct RawCase {
    std::string gbk;
    V expected;
    const char* why;
  } cases[] = {
      {"\xB0\x61@example.com", {}, "trail \"a\" is no local part"},
      {"\xB0\x61"
       "bc@example.com",
       {"bc@example.com"},
       "local part starts after the character"},
      {"\xB0\x41"
       "bc@example.com",
       {"bc@example.com"},
       "trail \"A\" does not join when lowered"},
      {"\xB0\x5F"
       "x@example.com",
       {"x@example.com"},
       "trail \"_\" is no edge character"},
      {Repeat("\x81\x40", 10) + " a@example.com", {"a@example.com"}, "trail \"@\" uses no pass"},
      {"\x81\x40"
       "a@example.com",
       {"a@example.com"},
       "trail \"@\" at the start is no first @"},
      {Repeat("\xB0\xA3\xA3x", 10) + " a@example.com",
       {"a@example.com"},
       "A3 A3 across two characters is no \"＃\""},
      {"\xB0\xA3\xA3"
       "a@example.com",
       {},
       "A3 A3 across two characters: the \"a\" stays half of A3 61"},
      {"\xB0\xA3\xA3\xA3"
       "example.com",
       {},
       "\"＃\" behind a character: empty local part"},
      {"ab\xA3\xA3"
       "example.com",
       {"ab@example.com"},
       "aligned \"＃\""},
      {"x\x81#b@example.com", {"b@example.com"}, "a \"#\" behind a stray first byte pairs"},
      // The domain run ends at a Chinese character even when its second byte
      // is a letter.
      {"ab@example.com\xB0\x61", {"ab@example.com"}, "trail after the domain"},
  };
  for (const auto& c : cases) EXPECT_EQ(extractor.HarvestGbk({c.gbk}), c.expected) << c.why;
}

// Lines are screened for "@", "#" and "＃" sixteen bytes at a time; the marker
// is found at every place in a line, near either end and across block edges.
TEST(ExtractEmails, MarkerAtEveryOffset) {
  for (const char* written :
       {"a@example.com", "a#example.com", "a＃example.com", "a＠example.com"}) {
    for (int before = 0; before <= 40; ++before) {
      for (int after = 0; after <= 20; ++after) {
        const std::string line =
            std::string(before, ' ') + Utf8ToGbk(written) + std::string(after, ' ');
        ASSERT_EQ(extractor.HarvestGbk({line}), V{"a@example.com"})
            << written << " " << before << " " << after;
      }
    }
  }
}

// The screen looks at sixteen or thirty-two bytes at a time; it must find the
// same first byte as a plain scan, whatever the length and wherever the hit.
TEST(ExtractEmails, ScreenFindsTheFirstMarkerByte) {
  const std::string alphabet = std::string("x@#\xA3\xA3\xA3\xC0\x81 ") + std::string(12, 'x');
  std::mt19937 random(1);
  for (int round = 0; round < 20000; ++round) {
    std::string text(random() % 200, ' ');
    // Every other text has markers far apart, so that the wide blocks run.
    const bool sparse = round % 2 == 1;
    for (char& c : text) {
      c = (sparse && random() % 64 != 0) ? 'x' : alphabet[random() % alphabet.size()];
    }
    std::size_t expected = std::string::npos;
    for (std::size_t at = 0; at < text.size() && expected == std::string::npos; ++at) {
      const auto b = static_cast<unsigned char>(text[at]);
      const auto next = at + 1 < text.size() ? static_cast<unsigned char>(text[at + 1]) : 0;
      if (b == '@' || b == '#' || (b == 0xA3 && (next == 0xA3 || next == 0xC0))) {
        expected = at;
      }
    }
    ASSERT_EQ(FindEmailMarkerByte(text), expected) << ::testing::PrintToString(text);
  }
}

TEST(ExtractEmails, LinesAreIndependentAndInOrder) {
  const V lines = {Utf8ToGbk("first a@example.com"), "b", "@c.example.com", "d@example.org",
                   "e#example.net x@y"};
  EXPECT_EQ(extractor.HarvestGbk(lines), (V{"a@example.com", "d@example.org", "e@example.net"}));
  // A local part never reaches back into the line before.
  EXPECT_EQ(extractor.HarvestGbk({"abc", "@example.com"}), V{});
}

// The extractor works on the line in place; on random lines built from the
// pieces that matter (markers, half characters, capitals, long runs) it must
// give what the steps give one after the other.
TEST(ExtractEmails, AgreesWithThePlainSteps) {
  const V pieces = {"a",
                    "Bc",
                    "x9",
                    "_",
                    "-",
                    ".",
                    "&",
                    "..",
                    "@",
                    "#",
                    "\xA3\xA3",
                    "\xA3",
                    "\xA1\xA3",
                    "\x81",
                    "\xB0",
                    "\xB0@",
                    "\xB0\x61",
                    "\xB0Q",
                    "\xFF",
                    "\x80",
                    " ",
                    "+",
                    ";",
                    ".htm",
                    "example.com",
                    "EXAMPLE.CN",
                    "qq.com",
                    "info@163.com",
                    "Sales#qq.com",
                    "ab\xA3\xA3"
                    "cd.com",
                    std::string(40, 'd'),
                    std::string(300, 'l'),
                    Utf8ToGbk("邮箱："),
                    Utf8ToGbk("。）"),
                    Utf8ToGbk("＃"),
                    Utf8ToGbk("＠"),
                    "\xA3\xC0",
                    Utf8ToGbk("中")};
  EXPECT_GT(extractor.MatchesPlainStepsOnRandomLines(pieces, 24, 40000, 11, EmailsByPlainSteps),
            10000u);
}

// Whatever lies more than 255 bytes (of the working text, where "＃" is one
// byte) behind the first "@" is no longer looked at: addresses are put on
// both sides of that edge, behind fillers that hold "＃" or not.
TEST(ExtractEmails, EdgeOfTheTailAgreesWithThePlainSteps) {
  const std::string fullWidth = Utf8ToGbk("＃");
  const std::string chinese = Utf8ToGbk("中文");
  const std::vector<std::string> fillers = {" ",     "xy ",   chinese,          chinese,
                                            chinese, chinese, fullWidth + "z ", "\xB0@"};
  std::mt19937 random(12);
  std::size_t values = 0;
  for (int round = 0; round < 4000; ++round) {
    std::string line = (round % 2 == 0 ? "ab@cd.com " : "ab" + fullWidth + "cd.com ");
    const std::size_t target = 230 + random() % 40;
    while (line.size() < target) line += fillers[random() % fillers.size()];
    line += (round % 3 == 0 ? "ef" + fullWidth : std::string("ef@")) + "gh.com";
    const V expected = EmailsByPlainSteps(line);
    ASSERT_EQ(extractor.HarvestGbk({line}), expected) << ::testing::PrintToString(line);
    values += expected.size();
  }
  EXPECT_GT(values, 5000u);
}

}  // namespace
}  // namespace brivano::testing
