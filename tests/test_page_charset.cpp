// Fetched site pages to UTF-8: byte-order marks, the header's and the meta
// tag's charset, detection, and declarations the bytes contradict.
#include <gtest/gtest.h>
#include <unicode/ucnv.h>

#include <string>
#include <vector>

#include "visit/page_charset.h"

namespace brivano {
namespace {

constexpr const char* kSimplified =
    "深圳市甲乙科技有限公司 联系电话：0755-12345678 地址：深圳市南山区";
constexpr const char* kTraditional =
    "臺北市甲乙科技有限公司 聯絡電話：02-12345678 地址：臺北市信義區";
// U+4DAE is in GB18030 (a four-byte form) but not in GBK.
constexpr const char* kBeyondGbk = "深圳市甲乙科技有限公司 联系人：王䶮 联系电话：0755-12345678";

// The UTF-8 text in another charset, as a site would send it.
std::string Encoded(const std::string& utf8, const char* charset) {
  UErrorCode status = U_ZERO_ERROR;
  std::string out(utf8.size() * 4 + 16, '\0');
  const int32_t length =
      ucnv_convert(charset, "UTF-8", out.data(), static_cast<int32_t>(out.size()), utf8.data(),
                   static_cast<int32_t>(utf8.size()), &status);
  EXPECT_TRUE(U_SUCCESS(status)) << charset << ": " << u_errorName(status);
  out.resize(U_SUCCESS(status) ? static_cast<std::size_t>(length) : 0);
  return out;
}

std::string Html(const std::string& meta, const std::string& body) {
  return "<html><head>" + meta + "<title>Home</title></head><body><p>" + body +
         "</p></body></html>";
}

TEST(PageCharset, DecodesEachWayAPageArrives) {
  const std::string gbkMeta =
      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">";
  const std::string utf8Meta = "<meta charset=\"utf-8\">";
  struct Row {
    const char* name = "";
    std::string page{};  // what the page reads, in UTF-8
    const char* sentAs = "UTF-8";
    std::string mark{};
    std::string contentType{};
    std::string charset{};
  };
  const std::vector<Row> rows = {
      {"gbk by header", Html("", kSimplified), "GBK", "", "text/html; charset=GBK", "gb18030"},
      {"gbk by meta", Html(gbkMeta, kSimplified), "GBK", "", "text/html", "gb18030"},
      {"gbk by upper-case meta", Html("<META CHARSET=GBK>", kSimplified), "GBK", "", "", "gb18030"},
      {"gbk undeclared", Html("", kSimplified), "GBK", "", "", "gb18030"},
      {"gb2312 named, gb18030 sent", Html(gbkMeta, kBeyondGbk), "GB18030", "", "", "gb18030"},
      {"gb18030 by header", Html("", kBeyondGbk), "GB18030", "", "text/html;charset=gb18030",
       "gb18030"},
      {"big5 by quoted header", Html("", kTraditional), "Big5", "", "text/html; charset=\"Big5\"",
       "big5"},
      {"big5-hkscs by meta", Html("<meta charset='big5-hkscs'>", kTraditional), "Big5", "", "",
       "big5"},
      {"big5 undeclared", Html("", kTraditional), "Big5", "", "", "big5"},
      {"header beats meta", Html(gbkMeta, kTraditional), "Big5", "", "text/html; charset=big5",
       "big5"},
      {"utf-8 with mark", Html("", kSimplified), "UTF-8", "\xEF\xBB\xBF", "", "utf-8"},
      {"mark beats header", Html("", kSimplified), "UTF-8", "\xEF\xBB\xBF",
       "text/html; charset=gbk", "utf-8"},
      {"utf-8 by meta", Html(utf8Meta, kSimplified), "UTF-8", "", "", "utf-8"},
      {"utf-8 undeclared", Html("", kSimplified), "UTF-8", "", "", "utf-8"},
      {"utf-16le with mark", Html(gbkMeta, kSimplified), "UTF-16LE", "\xFF\xFE", "", "utf-16le"},
      {"meta says utf-8, bytes are gbk", Html(utf8Meta, kSimplified), "GBK", "", "", "gb18030"},
      {"header says utf-8, bytes are gbk", Html("", kSimplified), "GBK", "",
       "text/html; charset=utf-8", "gb18030"},
      {"meta says gb2312, bytes are utf-8", Html(gbkMeta, kSimplified), "UTF-8", "", "", "utf-8"},
      {"unknown header name, meta decides", Html(gbkMeta, kSimplified), "GBK", "",
       "text/html; charset=x-klingon", "gb18030"},
      {"unknown meta name, utf-8 bytes", Html("<meta charset=x-klingon>", kSimplified), "UTF-8", "",
       "", "utf-8"},
      {"latin-1 name reads windows-1252",
       Html("<meta charset=iso-8859-1>",
            "Caf\xC3\xA9 \xE2\x80\x9C"
            "Contact\xE2\x80\x9D"),
       "windows-1252", "", "", "windows-1252"},
      {"empty", "", "UTF-8", "", "", "utf-8"},
      // Labels browsers do not know name nothing: the bytes decide.
      {"utf-32 meta on utf-8 bytes", Html("<meta charset=utf-32>", kSimplified), "UTF-8", "", "",
       "utf-8"},
      {"utf-7 header on gbk bytes", Html("", kSimplified), "GBK", "", "text/html; charset=utf-7",
       "gb18030"},
      {"ebcdic and scsu names", Html("<meta charset=scsu>", kSimplified), "UTF-8", "",
       "text/html; charset=ebcdic-cp-us", "utf-8"},
      {"a label with blanks and capitals", Html("", kSimplified), "GBK", "",
       "text/html; charset=\" CSGB2312 \"", "gb18030"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const DecodedPage decoded =
        DecodePage(row.mark + Encoded(row.page, row.sentAs), row.contentType);
    EXPECT_EQ(decoded.utf8, row.page);
    EXPECT_EQ(decoded.charset, row.charset);
  }
}

// Bytes that are no character of the charset become U+FFFD, not a lost page.
TEST(PageCharset, BadBytesBecomeReplacementCharacters) {
  const DecodedPage decoded = DecodePage("<p>\x81</p>", "text/html; charset=gbk");
  EXPECT_EQ(decoded.charset, "gb18030");
  EXPECT_EQ(decoded.utf8, "<p>\xEF\xBF\xBD</p>");
  // A NUL is dropped as a browser drops it; an encoding browsers refuse
  // reads as one replacement character.
  EXPECT_EQ(DecodePage(std::string("<p>13800") + '\0' + "000001</p>", "").utf8,
            "<p>13800000001</p>");
  EXPECT_EQ(DecodePage("~{<p>~}", "text/html; charset=hz-gb-2312").utf8, "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace brivano
