// Whole pages through the extractor table: every kind sees the same noisy
// page and takes only its own values, in page order.
#include <gtest/gtest.h>

#include "base/text.h"
#include "extract/extractors.h"
#include "testing/recording_sink.h"

namespace brivano::testing {
namespace {

using V = std::vector<std::string>;

V GbkLines(const V& utf8Lines) {
  V lines;
  for (const auto& line : utf8Lines) lines.push_back(Utf8ToGbk(line));
  return lines;
}

V Harvest(ContactKind kind, const V& gbkLines) {
  const std::vector<std::string_view> views(gbkLines.begin(), gbkLines.end());
  RecordingSink sink;
  ExtractPage(kind, views, sink);
  for (ContactKind k : sink.kinds) EXPECT_EQ(k, kind);
  return sink.values;
}

const V& ResultPage() {
  static const V page = GbkLines({
      "百度一下，你就知道",
      "深圳旅行社 - 百度快照",
      "联系我们 手机：13800138000 QQ：123456789 邮箱：Sales@Example.com",
      "电话：0755-12345678 传真：0755-87654321",
      "E-mail: info#travel.com.cn  客服qq 88886666 备用Qq:77778888",
      "www.abc.com/news/2013/0101.html - 相关搜索",
      "user.qzone.qq.com/555666777 的空间",
      "Fax: +86-20-12345678 Tel: 8613912345678",
      "营业执照 2019-08-01 地址：深圳市福田区 #3 栋",
      "1 2 3 4 5 6 7 8 9 10 下一页>",
  });
  return page;
}

TEST(MixedPages, EachKindTakesItsOwnValuesInPageOrder) {
  struct Case {
    ContactKind kind;
    V expected;
  } cases[] = {
      {ContactKind::Mobile, {"13800138000", "13912345678"}},
      {ContactKind::Email, {"sales@example.com", "info@travel.com.cn"}},
      {ContactKind::QQ, {"123456789", "88886666", "77778888", "555666777"}},
      {ContactKind::Fax, {"0755-12345678", "0755-87654321", "020-12345678", "13912345678"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Harvest(c.kind, ResultPage()), c.expected) << InfoOf(c.kind).cliName;
  }
}

TEST(MixedPages, OrderFollowsLinesThenPasses) {
  // Within a line the values come in the order the passes find them; a later
  // line's values always come after an earlier line's.
  const V page = GbkLines({
      "b@example.org QQ:22222 a@example.com qq:11111 传真：020-22222222",
      "QQ:33333 c@example.net 电话：010-11111111 QQ:44444",
      "d#example.cn 传真 0755-33333333 Qq 55555 QQ 66666",
  });
  EXPECT_EQ(Harvest(ContactKind::Email, page),
            (V{"b@example.org", "a@example.com", "c@example.net", "d@example.cn"}));
  EXPECT_EQ(Harvest(ContactKind::QQ, page),
            (V{"22222", "11111", "33333", "44444", "55555", "66666"}));
  EXPECT_EQ(Harvest(ContactKind::Fax, page), (V{"020-22222222", "010-11111111", "0755-33333333"}));
}

TEST(MixedPages, AHundredThousandLines) {
  V page;
  page.reserve(100000);
  for (int i = 0; i < 100000; ++i) {
    const std::string n = std::to_string(10000000 + i);
    switch (i % 4) {
      case 0:
        page.push_back("QQ:" + n);
        break;
      case 1:
        page.push_back("u" + n + "#example.com");
        break;
      case 2:
        page.push_back("FAX: 0755-" + n);
        break;
      default:
        page.push_back(Utf8ToGbk("深圳 旅行社 ") + n);
        break;
    }
  }
  const V qq = Harvest(ContactKind::QQ, page);
  const V email = Harvest(ContactKind::Email, page);
  const V fax = Harvest(ContactKind::Fax, page);
  ASSERT_EQ(qq.size(), 25000u);
  ASSERT_EQ(email.size(), 25000u);
  ASSERT_EQ(fax.size(), 25000u);
  EXPECT_EQ(qq.front(), "10000000");
  EXPECT_EQ(qq.back(), "10099996");
  EXPECT_EQ(email.front(), "u10000001@example.com");
  EXPECT_EQ(email.back(), "u10099997@example.com");
  EXPECT_EQ(fax.front(), "0755-10000002");
  EXPECT_EQ(fax.back(), "0755-10099998");
}

TEST(MixedPages, HostilePageYieldsNothing) {
  // 4096-byte lines of markers, separators, half characters and NUL bytes,
  // taken in turn for an 8 MB page. (Time per byte on such pages is measured
  // by the benchmarks.)
  const V shapes = {std::string(4096, '@'),    std::string(4096, '#'),   std::string(4096, '-'),
                    std::string(4096, '('),    std::string(4096, '+'),   std::string(4096, '\0'),
                    std::string(4096, '\x81'), std::string(4096, '\xFF')};
  auto repeat = [](std::string_view piece) {
    std::string out;
    while (out.size() + piece.size() <= 4096) out += piece;
    return out;
  };
  V hostile = shapes;
  for (const char* piece :
       {"QQ", "Q", "qq-", "QQ:", "FAX:", "传真", "电话", "＃", "号码：", "()", "a@"}) {
    hostile.push_back(repeat(Utf8ToGbk(piece)));
  }
  // Half characters: a lone first byte before "Q", "F" and "@"; 0xFF, which
  // is no first byte, before "@".
  for (const char* piece : {"\x81Q",
                            "\x81"
                            "F",
                            "\x81@", "\xFF@"})
    hostile.push_back(repeat(piece));
  hostile.push_back("FAX:" + std::string(4092, '-'));
  hostile.push_back("FAX:" + std::string(4092, '8'));
  hostile.push_back(
      std::string("QQ\0"
                  "12345678",
                  11));
  hostile.push_back(
      std::string("FAX:\0"
                  "0755-00000000",
                  18));
  V page;
  for (std::size_t i = 0; page.size() < 2000; ++i) page.push_back(hostile[i % hostile.size()]);
  for (ContactKind kind : kAllContactKinds) {
    EXPECT_EQ(Harvest(kind, page), V{}) << InfoOf(kind).cliName;
  }
}

}  // namespace
}  // namespace brivano::testing
