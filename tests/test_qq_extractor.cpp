#include <gtest/gtest.h>

#include <random>

#include "base/text.h"
#include "extract/qq_extractor.h"
#include "testing/extractor_cases.h"

namespace brivano::testing {
namespace {

const ExtractorUnderTest extractor(ContactKind::QQ);

TEST(ExtractQQNumbers, Labels) {
  extractor.RunTable({
      {"QQ：11111 qQ号 22222 QQ 号码：33333 QQ   44444 QQ:\t\t　　55555 QQ , 66666 QQ - 77777",
       {"11111", "22222", "33333", "44444", "55555", "66666", "77777"}},
      {"Q Q：11111 Q:22222 Q：33333 FAQ: 44444", {"11111", "22222", "33333"}},
      {"企鹅：11111 扣扣号 22222 ＱＱ: 33333 ｑｑ：44444 Ｑｑ55555",
       {"11111", "22222", "33333", "44444", "55555"}},
      {"QQ&微信：11111 QQ/微信同号：22222 QQ（微信同号）33333 QQ/微信号：44444 微信/QQ：55555",
       {"11111", "22222", "33333", "44444", "55555"}},
      {"QQ：12345678/微信：87654321", {"12345678"}},
      {"QQ(售前)：11111 QQ號碼：22222 QQ(33333) QQ(9:00)44444", {"11111", "22222", "33333"}},
      // A label's own number is none of the values.
      {"QQ2：1847287", {"1847287"}},
      {"QQ1:1847287 QQ 2：2847287 客服QQ3： 3847287", {"1847287", "2847287", "3847287"}},
      // Groups, versions, no label, the wrong length or a leading 0.
      {"QQ群：12345678 QQ群号：12345678 群号：23456789 QQ交流群 34567890", {}},
      {"QQ2013 腾讯QQ 9.7.1 QQ 9.7.12345 没有号码 12345678", {}},
      {"QQ:1234 QQ:12345678901 QQ:01234567 QQ:１２３４５６７８", {}},
      {"QQ:12345 QQ:1234567890", {"12345", "1234567890"}},
  });
}

TEST(ExtractQQNumbers, MailboxesAndLinks) {
  extractor.RunTable({
      {"邮箱：542913359@qq.com", {"542913359"}},
      {"542913359@QQ.COM、642913359@vip.qq.com", {"542913359", "642913359"}},
      {"QQ:542913359@qq.com", {"542913359"}},  // one number, given once
      {"QQ邮箱：542913359", {"542913359"}},
      {"542913359@163.com 542913359@foxmail.com 542913359@qq.com.cn QQ：542913359@126.com", {}},
      {"a542913359@qq.com a.542913359@qq.com 0542913359@qq.com", {}},
      {"tencent://message/?uin=12345678&Site=qq&Menu=yes", {"12345678"}},
      {"tencent://Message/?Menu=yes&Uin=12345678", {"12345678"}},
      {"http://wpa.qq.com/msgrd?v=3&uin=12345678&site=qq&menu=yes", {"12345678"}},
      {"http://wpa.qq.com/msgrd?V=1&amp;Uin==12345678", {"12345678"}},
      {"https://example.cn/login?uin=12345678 tencent://message/?xuin=12345678", {}},
      {"http://12345678.qzone.qq.com USER.QZONE.QQ.COM/23456789/infocenter",
       {"12345678", "23456789"}},
      {"user.qzone.qq.com/", {}},
  });
}

TEST(ExtractQQNumbers, Lists) {
  extractor.RunTable({
      {"QQ：85203060或883492302、1234567 / 7654321/55555555,66666；77777 88888",
       {"85203060", "883492302", "1234567", "7654321", "55555555", "66666", "77777", "88888"}},
      {"QQ：12499（售前），7228819（售后）", {"12499", "7228819"}},
      {"QQ：123456(张先生) 654321(李小姐)", {"123456", "654321"}},
      // What follows a number is no number of its list when it reads as a
      // date, an amount, a decimal, a time or a number with an extension.
      {"QQ:11111，2023-12-10 QQ:22222，20231210日 QQ:33333，13933元/吨 QQ:44444；13933.50",
       {"11111", "22222", "33333", "44444"}},
      {"QQ:11111 12345:30 QQ:22222 12345-1 QQ：33333、1234 QQ：44444，电话：87654321",
       {"11111", "22222", "33333", "44444"}},
      {"QQ:11111" + std::string(3000, 'x') + "QQ:11111", {"11111", "11111"}},
  });
}

// Cases that hinge on GBK structure, as raw GBK bytes: "Q" (0x51) may be
// the second byte of a character.
TEST(ExtractQQNumbers, NeverWorksOnSecondBytes) {
  struct RawCase {
    std::string gbk;
    V expected;
  } cases[] = {
      {"\xB0\x51Q12345678", {}},
      {"\xB0\x51QQ12345678", {"12345678"}},
      {"\xB0\x51:12345678", {}},  // no "Q:"
      {"\xB0\x51"
       "542913359@qq.com",
       {"542913359"}},  // no local part in front
      {"QQ\xB0\xA3\xBA\x41"
       "12345678",
       {}},  // no "：" across characters
  };
  for (const auto& c : cases) EXPECT_EQ(extractor.HarvestGbk({c.gbk}), c.expected) << c.gbk;
}

// Lines are screened 32 or 16 bytes at a time; every form is found at every
// place in a line, near either end and across block edges.
TEST(ExtractQQNumbers, FormsAtEveryOffset) {
  for (const char* written :
       {"QQ:12345", "q q 12345", "Q：12345", "企鹅12345", "扣扣 12345", "ＱＱ12345", "12345@qq.com",
        "tencent://message/?uin=12345", "user.qzone.qq.com/12345"}) {
    for (std::size_t before = 0; before <= 70; ++before) {
      for (std::size_t after = 0; after <= 34; after += 1 + before % 3) {
        const std::string line =
            std::string(before, ' ') + Utf8ToGbk(written) + std::string(after, ' ');
        ASSERT_EQ(extractor.HarvestGbk({line}), V{"12345"})
            << written << " " << before << " " << after;
      }
    }
  }
}

// The screen must find the first screen word as a plain scan does, and pass
// every line that gives a number. Random lines of the pieces of both.
TEST(ExtractQQNumbers, Screen) {
  const V words = {"qq",
                   "qQ",
                   "q q",
                   "Q:",
                   Utf8ToGbk("q："),
                   Utf8ToGbk("ＱＱ"),
                   Utf8ToGbk("ｑＱ"),
                   Utf8ToGbk("Ｑｑ"),
                   Utf8ToGbk("ｑｑ"),
                   Utf8ToGbk("企鹅"),
                   Utf8ToGbk("扣扣"),
                   "UiN="};
  auto firstWord = [&](std::string_view text) {
    for (std::size_t at = 0; at < text.size(); ++at) {
      for (const std::string& word : words) {
        if (LowerAscii(text.substr(at, word.size())) == LowerAscii(word)) return at;
      }
    }
    return std::string_view::npos;
  };
  V pieces = words;
  for (const char* piece : {"Q", "u", "in=", " ", ":", "\xA3", "\xC6", "\xBF", "\xB0", "12345", "@",
                            "?", "&", "tencent://", ".qzone", "com/", "xxxxxxxxxxxxxxxx"}) {
    pieces.push_back(piece);
  }
  for (const char* piece : {"：", "号", "（张）", "微信"}) pieces.push_back(Utf8ToGbk(piece));
  std::mt19937 random(2);
  std::size_t values = 0;
  for (int round = 0; round < 30000; ++round) {
    std::string line;
    for (std::size_t n = 1 + random() % 16; n > 0; --n) line += pieces[random() % pieces.size()];
    ASSERT_EQ(FindQQMarkerByte(line), firstWord(line)) << ::testing::PrintToString(line);
    const V found = extractor.HarvestGbk({line});
    values += found.size();
    if (!found.empty()) {
      ASSERT_NE(firstWord(line), std::string::npos) << ::testing::PrintToString(line);
    }
  }
  EXPECT_GT(values, 500u);
}

TEST(ExtractQQNumbers, LinesAreIndependentAndInOrder) {
  const V lines = {Utf8ToGbk("QQ号：12345"), "QQ", "67890", "qq:24680 QQ:13579"};
  EXPECT_EQ(extractor.HarvestGbk(lines), (V{"12345", "24680", "13579"}));
}

}  // namespace
}  // namespace brivano::testing
