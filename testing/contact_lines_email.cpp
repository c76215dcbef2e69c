// Generated lines of e-mail addresses, and the "@" and "#" that are none.
#include "testing/contact_line_forms.h"

namespace brivano::testing::lines {
namespace {

struct Weighted {
  std::string_view text;
  int weight;
};

// "~" is a digit of its own: addresses at QQ are the QQ number, and many are a
// mobile number.
constexpr std::array<Weighted, 22> kUsers{{
    {"sales", 4},       {"info", 4},         {"service", 3}, {"admin", 2},    {"hr", 1},
    {"contact", 2},     {"market", 1},       {"kefu", 2},    {"zhangsan", 1}, {"wangli", 1},
    {"li.ming", 1},     {"li_ming", 1},      {"tom-lee", 1}, {"abc123", 1},   {"sz-trade", 1},
    {"webmaster", 1},   {"xinguanruyi", 1},  {"enquiry", 1}, {"1~~~~~~~", 3}, {"2~~~~~~~~", 2},
    {"13~~~~~~~~~", 1}, {"hq.sales2023", 1},
}};
constexpr std::array<Weighted, 24> kDomains{{
    {"qq.com", 6},
    {"163.com", 6},
    {"126.com", 3},
    {"sina.com", 3},
    {"sina.cn", 1},
    {"sohu.com", 1},
    {"yeah.net", 1},
    {"foxmail.com", 2},
    {"139.com", 1},
    {"aliyun.com", 1},
    {"hotmail.com", 1},
    {"gmail.com", 1},
    {"vip.163.com", 1},
    {"vip.qq.com", 1},
    {"abc-trade.com", 2},
    {"company.com.cn", 2},
    {"szhq.cn", 1},
    {"co.herostart.com", 1},
    {"hqdz.com.cn", 1},
    {"chinaabc.net", 1},
    {"mail.sz-abc.com.cn", 1},
    {"azona.com.hk", 1},
    // Company hosts that spell out the whole name run past sixty letters.
    {"shenzhenhuaqiangbeielectronicscomponentstradingcompanylimited.com", 1},
    {"mail.dongguanhengfengwujinzhipinyouxiangongsi.com.cn", 1},
}};

// Pages write an address in lower case, with capitals ("Info@Company.com.cn")
// or all in capitals; the extractor gives it in lower case.
struct Casing {
  std::string (*apply)(std::string);
  int weight;
};
constexpr std::array<Casing, 3> kCasings{{
    {[](std::string s) { return s; }, 8},
    {[](std::string s) {
       if (!s.empty() && s[0] >= 'a' && s[0] <= 'z') s[0] = static_cast<char>(s[0] - 'a' + 'A');
       return s;
     },
     2},
    {[](std::string s) {
       for (char& c : s) {
         if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
       }
       return s;
     },
     1},
}};

Fields DrawAddress(Draw& draw) {
  const Casing& casing = draw.Pick(kCasings);
  Fields f;
  f.user = casing.apply(draw.Scatter(draw.Pick(kUsers).text));
  f.domain = casing.apply(std::string(draw.Pick(kDomains).text));
  return f;
}

// A "#" or a full-width "＠" written for the "@" keeps robots off the address.
constexpr std::array<Form, 7> kAddressForms{{
    {"@", "U@D", "U@D", 20},
    {"# for @", "U#D", "U@D", 4},
    {"＠ for @", "U＠D", "U@D", 1},
    {"plus tag", "U+web@D", "U+web@D", 1},
    {"blanks around @", "U @ D", "U@D", 1},
    {"[at]", "U[at]D", "U@D", 1},
    {"(at)", "U(at)D", "U@D", 1},
}};

// So do spelled dots: the host written with "[dot]" or "(dot)" (L), " DOT "
// or " dot " (N), or full-width dots (P).
constexpr std::array<Form, 5> kSpelledForms{{
    {"[at] [dot]", "U[at]L", "U@D", 2},
    {"(at) (dot), blanks", "U (at) L", "U@D", 1},
    {"AT DOT", "U AT N", "U@D", 1},
    {"at dot", "U at N", "U@D", 1},
    {"＠ and ．", "U＠P", "U@D", 1},
}};

std::string SpellDots(std::string_view host, std::string_view dot) {
  std::string out;
  for (char c : host) out += c == '.' ? std::string(dot) : std::string(1, c);
  return out;
}

Fields DrawSpelledAddress(Draw& draw) {
  Fields f = DrawAddress(draw);
  f.local = SpellDots(f.domain, draw.Percent(50) ? "[dot]" : "(dot)");
  f.number = SpellDots(f.domain, draw.Percent(50) ? " DOT " : " dot ");
  f.prefix = SpellDots(f.domain, "．");
  return f;
}

constexpr std::array<Label, 16> kAddressLabels{{
    {"邮箱", 10},
    {"E-mail", 4, kSpacedGaps},
    {"Email", 3, kSpacedGaps},
    {"email", 1, kSpacedGaps},
    {"EMAIL", 1, kSpacedGaps},
    {"Mail", 1, kSpacedGaps},
    {"电子邮箱", 3},
    {"邮件", 2},
    {"联系邮箱", 3},
    {"QQ邮箱", 1},
    {"投稿邮箱", 1},
    {"电邮", 1},
    {"邮箱地址", 1},
    {"E-mail/QQ", 1, kSpacedGaps},
    {"#深圳展会#E-mail", 1, kSpacedGaps},
    {"", 5, kNoGap},
}};

constexpr std::array<ValueClass, 2> kAddressClasses{
    {{5, kAddressLabels, kAddressForms, DrawAddress},
     {1, kAddressLabels, kSpelledForms, DrawSpelledAddress}}};

constexpr std::array<std::string_view, 9> kAddressJoins{";",  "；",  "、", " ", ",",
                                                        "，", " / ", "或", "; "};
constexpr std::array<std::string_view, 11> kAddressTails{
    "", "", "", "", "欢迎", "。", "，", " ", ".", "（请将#换成@）", "欢迎投稿"};

// An "@" or "#" in file names, style sheets, mentions, hash-tags and colours.
constexpr std::array<std::string_view, 33> kAddressDecoys{
    "logo@2x.png",
    "icon@3x.webp",
    "banner@2x.jpg",
    "images/nav-icon@2x.png",
    "bg_top@2x.gif",
    "banner@2x.bmp",
    "favicon@2x.ico",
    "hero@2x.avif",
    "scan@300dpi.tiff",
    "IMG_2023~~~~@phone.heic",
    "brochure@print.pdf",
    "price-list@2023.docx",
    "promo@1080p.mp4",
    "cdn.jsdelivr.net/npm/vue@2.6.14/dist/vue.min.js",
    "jquery@3.6.0",
    "bootstrap@5.3.0/dist/css/bootstrap.min.css",
    "swiper@8.4.5/swiper-bundle.min.css",
    "@media screen and (max-width:768px)",
    "@import url(common.css)",
    "微博@央视新闻",
    "(@SVNewsAlerts)",
    "#深圳展会#",
    "#双十一# #好物推荐#",
    "color:#ff6600",
    "C#开发工程师",
    "第#3期",
    "index.html#top",
    "请将#换成@",
    "look at the catalog (PDF)",
    "Made in China [Data]",
    "QQ：~~~~~~~~",
    "手机：138~~~~~~~~",
    "网址：www.abc-trade.com"};

}  // namespace

const KindTables& AddressTables() {
  static constexpr KindTables kTables{kAddressClasses, kAddressJoins, kAddressTails,
                                      kAddressDecoys};
  return kTables;
}

}  // namespace brivano::testing::lines
