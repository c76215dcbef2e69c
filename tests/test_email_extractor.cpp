#include <gtest/gtest.h>

#include <random>

#include "base/text.h"
#include "extract/email_extractor.h"
#include "extract/email_screen.h"
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
      // A hash-tag's number signs stand between no address's halves.
      {"#深圳展会#E-mail: kf799@163.com", {"kf799@163.com"}},
      {"#深圳展会#kf799@163.com #top a#b.com", {"kf799@163.com"}},
      {"color:#ff6600 C#开发 第#3期 index.html#top a@example.com", {"a@example.com"}},
      {"kf799 #163.com kf799# 163.com", {}},
  });
}

// "@" and "." as pages spell them to keep robots off, and what is prose.
TEST(ExtractEmails, SpelledSigns) {
  const V one{"sales@abc.com"};
  extractor.RunTable({
      {"sales AT abc DOT com", one},
      {"sales AT abc.com", one},
      {"sales at abc dot com kf at abc．com dot cn", {"sales@abc.com", "kf@abc.com.cn"}},
      {"Sales At Abc Dot Com", one},
      {"sales[at]abc[dot]com", one},
      {"sales(AT)abc(dot)com", one},
      {"sales [at] abc [dot] com", one},
      {"sales(at)abc.com", one},
      {"sales＠abc．com Li．Ming＠abc．com", {"sales@abc.com", "li.ming@abc.com"}},
      {"sales @ abc.com", one},
      {"sales  @abc.com", one},
      {"sales+web@abc.com", {"sales+web@abc.com"}},
      {"sales at abc.com", {}},  // prose: "see us at booth.com"
      {"look at the catalog (PDF) [Data]", {}},
      {"sales   @ abc.com", {}},  // three blanks
      {"sales [at]abc dot", {}},  // no dot behind a label
  });
}

TEST(ExtractEmails, DomainAcceptance) {
  const std::string label63 = std::string(63, 'd');
  const std::string host253 = Repeat(label63 + ".", 3) + std::string(58, 'e') + ".cn";
  extractor.RunTable({
      {"a@b.cn", {}},            // four bytes
      {"a@ab.c", {}},            // four bytes, first dot third
      {"a@ab.cn", {"a@ab.cn"}},  // five bytes, first dot third
      {"a@b.com", {}},           // first dot second
      {"a@localhost", {}},       // no dot
      {"a@" + label63 + ".com", {"a@" + label63 + ".com"}},
      {"a@" + label63 + "d.com", {}},
      {"a@" + host253, {"a@" + host253}},
      {"a@e" + host253, {}},
      {"news@page123.htm", {}},  // a web page, not a host
      {"news@www.site.com.html", {}},
      {"a@-example.com-", {"a@example.com"}},
      {"Write to a@example.com.", {"a@example.com"}},  // full stop of the sentence
      {"a@example.com&nbsp;", {"a@example.com"}},
      // Pictures drawn at a scale, style sheets, scripts and linked files are
      // no hosts; neither is a number.
      {"logo@2x.png icon@3x.WEBP a@cdn.site.jpeg b@img.gif c@ab.svg d@theme.css e@main.js", {}},
      {"a@2x.bmp b@2x.ico c@2x.avif d@ab.tif e@ab.tiff f@ab.heic g@ab.pdf h@ab.doc i@ab.mp4", {}},
      {"vue@2.6.14 jquery@3.6.0 @media screen 微博@央视新闻", {}},
      {"f@ab.jpg g@ab.pngs 房间12#301.5 h@ab.c1 i@ab.ai", {"g@ab.pngs", "i@ab.ai"}},
      {"sales@company.com.cn、info@abc.net", {"sales@company.com.cn", "info@abc.net"}},
  });
}

TEST(ExtractEmails, LocalPartClean) {
  const std::string local64(64, 'x');
  extractor.RunTable({
      {"-_&.+sales.-@example.com", {"sales@example.com"}},
      {std::string(11, '-') + "x@example.com", {"x@example.com"}},
      {"a..b@example.com a..b..c@example.com", {"b@example.com", "c@example.com"}},
      {"ab@exa..mple.com", {}},  // host cut before "..": no dot left
      {"ab@example.com..cn", {"ab@example.com"}},
      {"联系人张三abc@example.com", {"abc@example.com"}},
      {"%user@example.com", {"user@example.com"}},
      {"+@example.com", {}},  // empty local part
      {"/@example.com", {}},
      {local64 + "@example.com", {local64 + "@example.com"}},
      {local64 + "x@example.com", {}},
  });
}

TEST(ExtractEmails, EveryAddressOfALineInOrder) {
  V all;
  std::string line;
  for (int i = 0; i < 200; ++i) {
    const std::string address = "u" + std::to_string(i) + "@example.com";
    all.push_back(address);
    line += address + (i % 2 == 0 ? " " : "、");
  }
  extractor.RunTable({
      {"a@example.com;b@example.org", {"a@example.com", "b@example.org"}},
      {line, all},
      // An "@" that reads no address takes nothing from the next one.
      {"@ a@example.com", {"a@example.com"}},
      {Repeat("x#1 ", 20) + "a@example.com", {"a@example.com"}},
      {"a@example.com@other.com b@example.org", {"a@example.com", "b@example.org"}},
      {"abc@def@ghi.com", {"def@ghi.com"}},
      {"a@@example.com", {}},
      {"a@example.com a@example.com", {"a@example.com", "a@example.com"}},
      {"a@example.com" + std::string(2000, ' ') + "b@example.org",
       {"a@example.com", "b@example.org"}},
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

// Lines are screened for the "@" and its stand-ins many bytes at a time; the marker
// is found at every place in a line, near either end and across block edges.
TEST(ExtractEmails, MarkerAtEveryOffset) {
  for (const char* written :
       {"a@example.com", "a#example.com", "a＃example.com", "a＠example.com", "a[at]example.com",
        "a AT example.com", "a at example dot com", "a＠example．com"}) {
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
  const std::string alphabet =
      std::string("x@#\xA3\xA3\xA3\xC0\x81 [(aAdDoOtT ") + std::string(12, 'x');
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
      const std::string_view rest = std::string_view(text).substr(at);
      const std::string lower = LowerAsciiBytes(rest.substr(0, 4));
      if (rest[0] == '@' || rest[0] == '#' || rest.starts_with("\xA3\xA3") ||
          rest.starts_with("\xA3\xC0") || lower.starts_with("[a") || lower.starts_with("[d") ||
          lower.starts_with("(a") || lower.starts_with("(d") || rest.starts_with(" AT") ||
          lower == " dot") {
        expected = at;
      }
    }
    ASSERT_EQ(FindEmailMarkerByte(text), expected) << ::testing::PrintToString(text);
    // From a place inside, the blocks reach back over the bytes before it.
    const std::size_t from = text.empty() ? 0 : random() % text.size();
    const std::size_t fromThere = FindEmailMarkerByte(std::string_view(text).substr(from));
    ASSERT_EQ(email_screen::FindMarkerFrom(text, from),
              fromThere == std::string::npos ? fromThere : from + fromThere)
        << from << " " << ::testing::PrintToString(text);
  }
}

TEST(ExtractEmails, LinesAreIndependentAndInOrder) {
  const V lines = {Utf8ToGbk("first a@example.com"), "b", "@c.example.com", "d@example.org",
                   "e#example.net x@y"};
  EXPECT_EQ(extractor.HarvestGbk(lines), (V{"a@example.com", "d@example.org", "e@example.net"}));
  // A local part never reaches back into the line before.
  EXPECT_EQ(extractor.HarvestGbk({"abc", "@example.com"}), V{});
}

// The extractor tells first bytes from second ones in place; on random lines
// built from the pieces that matter (markers, half characters, spellings,
// capitals) it must give what it gives on the line made of whole characters.
TEST(ExtractEmails, AgreesWithTheLineByCharacters) {
  const V pieces = {"a",
                    "Bc",
                    "x9",
                    "_",
                    "-",
                    ".",
                    "&",
                    "+",
                    "..",
                    "@",
                    "#",
                    " ",
                    "[at]",
                    "(at)",
                    " AT ",
                    " at ",
                    "[dot]",
                    " dot ",
                    "\xA3\xA3",
                    "\xA3",
                    "\xA3\xAE",
                    "\xA3\xC0",
                    "\xA1\xA3",
                    "\x81",
                    "\xB0",
                    "\xB0@",
                    "\xB0\x61",
                    "\xB0Q",
                    "\xB0[",
                    "\xFF",
                    "\x80",
                    ";",
                    ".htm",
                    "example.com",
                    "EXAMPLE.CN",
                    "qq.com",
                    "info@163.com",
                    "Sales#qq.com",
                    Utf8ToGbk("邮箱："),
                    Utf8ToGbk("中")};
  const auto byCharacters = [](const std::string& line) {
    return extractor.HarvestGbk({EmailLineByCharacters(line)});
  };
  EXPECT_GT(extractor.MatchesPlainStepsOnRandomLines(pieces, 24, 40000, 11, byCharacters), 10000u);
}

}  // namespace
}  // namespace brivano::testing
