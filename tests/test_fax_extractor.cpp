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
      {"传真：086-755-00000000", {"0755-00000000"}},
      {"Fax: +86-20-12345678 Tel: 8613800000000", {"020-12345678", "13800000000"}},
      {"传真：0755-0000-0000", {"0755-0000-0000"}},  // a local number of 4-4
      {"传真：12345678", {}},                        // "012345678": too short
      {"传真：1234567", {}},
      {"传真：0755-00000000-", {"0755-00000000"}},
      {"传真：0755-00000000-123", {"0755-00000000"}},  // an extension
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
  // Every pair of bytes the screen looks for, written out.
  std::vector<std::string> words = {"te", "t:", "m:", "t\xA3", "m\xA3", "ph", "ho"};
  for (const char* word : {"话", "話", "真", "℡", "拨", "撥", "電"})
    words.push_back(Utf8ToGbk(word));
  for (const char* pair :
       {"\xB4\xB5", "\xC2\xB5", "\xEB\xB5", "\xEB\xC1", "\xF9\xBB", "\xDC\xBB", "\xC8\xCF",
        "\xA8\xCF", "\xBE\x80", "\xB5\xB7", "\x4D\xB7", "\x82\x99"}) {
    words.push_back(pair);
  }
  // Whole labels, the pairs and their halves, so that hits and near hits
  // fall on every place of a block.
  std::vector<std::string> pieces = {"f",  "F", "x", "xx", "xxxxx", ":", "T",   "tE",
                                     "eL", "P", "O", "H",  "oT",    "M", "\xA3"};
  for (const char* label : {"座机", "总机", "热线", "专线", "熱線", "联系方式", "聯繫方式",
                            "请联系", "来电", "致電", "總機"}) {
    pieces.push_back(Utf8ToGbk(label));
  }
  for (const std::string& word : words) {
    pieces.push_back(word);
    pieces.push_back(word.substr(0, 1));
    pieces.push_back(word.substr(1));
  }
  // Byte by byte: a lower-case letter of a pair matches either case.
  auto pairAt = [](const std::string& text, std::size_t at, const std::string& word) {
    if (at + word.size() > text.size()) return false;
    for (std::size_t k = 0; k < word.size(); ++k) {
      const bool letter = word[k] >= 'a' && word[k] <= 'z';
      if ((letter ? (text[at + k] | 0x20) : text[at + k]) != word[k]) return false;
    }
    return true;
  };
  auto plainScan = [&](const std::string& text) {
    for (std::size_t at = 0; at < text.size(); ++at) {
      if ((text[at] | 0x20) == 'f') return at;
      for (const std::string& word : words) {
        if (pairAt(text, at, word)) return at;
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

// What a number behind a list's separator is not, and what is no number.
TEST(ExtractFaxes, NoDateTimePriceOrYearAfterASeparator) {
  extractor.RunTable({
      {"热线：4001-481743；2020-07-24 02:39", {"4001-481743"}},
      {"电话：0755-88889999，9:00-18:00", {"0755-88889999"}},
      {"电话：0755-88889999，13933元/吨", {"0755-88889999"}},
      {"电话：0755-88889999；2019年成立，2023-12-10", {"0755-88889999"}},
      {"电话：0755-88889999 2023/12/15 13:20:05", {"0755-88889999"}},
      {"电话：12345678901", {}},  // no mobile number, and no trunk "0"
      {"电话：755-88889999", {}},
      {"电话：8345 6789 2011-3-15", {"83456789"}},
      {"电话：6217 6352 3890 3962", {}},  // a card's number in groups
      {"邮箱：tel23456789@163.com", {}},
      {"服务热线全年受理超过3000000件", {}},
  });
}

TEST(ExtractFaxes, LabelsOfEveryWriting) {
  const V number{"0755-88889999"};
  extractor.RunTable({
      {"電話：0755-88889999", number},
      {"傳真:0755-88889999", number},
      {"聯繫電話：0755-88889999", number},
      {"聯絡電話 0755-88889999", number},
      {"熱線：0755-88889999", number},
      {"專線0755-88889999", number},
      {"聯系方式：0755-88889999", number},
      {"电 话：0755-88889999", number},
      {"传　真：0755-88889999", number},
      {"電(diàn)話: 0755-88889999", number},
      {"T:0755-88889999", number},
      {"F：0755-88889999", number},
      {"M: 0755-88889999", number},
      {"℡ 0755-88889999", number},
      {"Ph: 0755-88889999", number},
      {"T/F 0755-88889999", number},
      {"热线(8:00-22:00)：0755-88889999", number},
      {"电话( Tel )：0755-88889999", number},
      {"联系人及电话：0755-88889999", number},
      {"如有疑问请联系0755-88889999", number},
      {"欢迎来电至0755-88889999", number},
      {"电话 | 0755-88889999", number},
      {"联系方式:李先生 0755-88889999", number},
      {"查詢請致電本中心0755-88889999。", number},
      {"电话号码为“0755-88889999”", number},
      {"GMT:0755-88889999", {}},
      {"3F:0755-88889999", {}},
      {"Photo 0755-88889999", {}},
      {"欢迎来电咨询\t账号 6217 6352 3890 3962", {}},
      {"热线\t手机：13800000000", {}},  // another field's cell
  });
}

TEST(ExtractFaxes, NumbersOfEveryWriting) {
  extractor.RunTable({
      {"电话：0755-88889999-801", {"0755-88889999"}},
      {"电话：0755-88889999转801", {"0755-88889999"}},
      {"电话：0755-88889999 分机 801", {"0755-88889999"}},
      {"电话：0755-88889999 ext.801", {"0755-88889999"}},
      {"传真：(0760)6532-5318", {"0760-6532-5318"}},
      {"传真：0591—4774560", {"0591-4774560"}},
      {"传真：+86 (0)755-8888 9999", {"0755-88889999"}},
      {"电话：+86 (769) 3809-3375", {"0769-3809-3375"}},
      {"電話: 86 - 755 - 2963 1847", {"0755-29631847"}},
      {"Fax: +86 10 72732189", {"01072732189"}},
      {"电话：013800000000", {"13800000000"}},
      {"电话：0755-88889999 0755-22223333；13800000000",
       {"0755-88889999", "0755-22223333", "13800000000"}},
      {"电话：010-65646093、65646095", {"010-65646093", "010-65646095"}},
      {"电话：0634-6258317 8836402", {"0634-6258317", "0634-8836402"}},
      {"电话：0755-88889999(销售部)、028-12345678(9:00-17:30)", {"0755-88889999", "028-12345678"}},
      {"专线: 北站04-26183095 / 南站04-26187240", {"04-26183095", "04-26187240"}},
      {"电话(027-59861483, 88127904)联系", {"027-59861483", "027-88127904"}},
      {"传真(2548 6031)", {"25486031"}},
      {"电话：83456789", {"83456789"}},
      {"电话：8345-6789", {"8345-6789"}},
      {"电话：+852 2345 6789", {"+852-23456789"}},
      {"热线(852)2345-6789", {"+852-2345-6789"}},
      {"Tel: +886-2-2345-6789", {"+886-2-2345-6789"}},
      {"Tel: 886-2-27415306", {"+886-2-27415306"}},
      {"電話：(02)2345-6789", {"02-2345-6789"}},
      {"service_tel 0800-315-627", {"0800-315-627"}},
      {"Tel: +1 408 555 1234", {}},
  });
}

// A label alone at the end of its line, or a label's numbers down to the
// end of it, takes the numbers that lead the next non-blank line; a line of
// numbers alone keeps the list open below it.
TEST(ExtractFaxes, LabelOnTheLineAbove) {
  struct PageCase {
    V lines;
    V expected;
  } cases[] = {
      {{"咨询热线", "400-007-6266"}, {"400-007-6266"}},
      {{"咨询热线", "", "  ", "400-007-6266 免费"}, {"400-007-6266"}},
      {{"电话 Tel", "2647 3185"}, {"26473185"}},
      {{"咨询热线", "400-135-8827", "", "010-85376410"}, {"400-135-8827", "010-85376410"}},
      {{"全國咨詢熱線:13602175946", "13814926037", "您的位置"}, {"13602175946", "13814926037"}},
      {{"联系电话：", "何经理:13655270418", "刘经理:15861493725"}, {"13655270418", "15861493725"}},
      {{"电话：", "0755-00000000 传真：020-12345678", "FAX: 010 1234 5678", "fax"},
       {"0755-00000000", "020-12345678", "01012345678"}},
      {{"热线", "2023-12-01 发布", "0755-88889999"}, {}},
      {{"热线", "传真：0755-88889999"}, {"0755-88889999"}},
      {{"0755-88889999", "电话"}, {}},
  };
  for (const auto& c : cases) {
    V gbk;
    for (const std::string& line : c.lines) gbk.push_back(Utf8ToGbk(line));
    EXPECT_EQ(extractor.HarvestGbk(gbk), c.expected) << c.lines[0];
  }
}

}  // namespace
}  // namespace brivano::testing
