#include "testing/contact_lines.h"

#include <algorithm>
#include <array>
#include <random>
#include <span>
#include <string>
#include <utility>

namespace brivano::testing {
namespace {

class Draw {
 public:
  explicit Draw(std::uint32_t seed) : engine_(seed) {}

  std::size_t Below(std::size_t n) { return static_cast<std::size_t>(engine_() % n); }
  bool Percent(unsigned p) { return Below(100) < p; }

  std::string_view Any(std::span<const std::string_view> table) {
    return table[Below(table.size())];
  }
  // An entry of a table whose entries carry a `weight`.
  template <typename Table>
  const auto& Pick(const Table& table) {
    std::size_t total = 0;
    for (const auto& entry : table) total += static_cast<std::size_t>(entry.weight);
    std::size_t r = Below(total);
    for (const auto& entry : table) {
      if (r < static_cast<std::size_t>(entry.weight)) return entry;
      r -= static_cast<std::size_t>(entry.weight);
    }
    return table.back();
  }
  std::string Digits(std::size_t count, int lowestFirst = 0) {
    std::string digits;
    for (std::size_t i = 0; i < count; ++i) {
      const int lowest = i == 0 ? lowestFirst : 0;
      const auto digit = lowest + static_cast<int>(Below(static_cast<std::size_t>(10 - lowest)));
      digits.push_back(static_cast<char>('0' + digit));
    }
    return digits;
  }
  // `pattern` with each "~" replaced by a digit of its own.
  std::string Scatter(std::string_view pattern) {
    std::string out;
    for (char c : pattern) out += c == '~' ? Digits(1) : std::string(1, c);
    return out;
  }

 private:
  std::mt19937 engine_;
};

// The parts of one value, which a form's patterns put together.
struct Fields {
  std::string prefix;  // P: the first three digits of a mobile number
  std::string area;    // C: an area code with its trunk 0; c: without it
  std::string local;   // L: the local number behind an area code
  std::string number;  // N: a QQ number
  std::string user;    // U and D: an address's two halves
  std::string domain;
  std::string digits;  // x: the next of these, so that two patterns agree
};

std::string Fill(std::string_view pattern, const Fields& f) {
  const std::string_view area = f.area;
  const std::array<std::pair<char, std::string_view>, 7> named{
      {{'P', f.prefix},
       {'C', area},
       {'c', area.substr(area.empty() ? 0 : 1)},
       {'L', f.local},
       {'N', f.number},
       {'U', f.user},
       {'D', f.domain}}};
  std::string out;
  std::size_t next = 0;
  for (char c : pattern) {
    const auto field =
        std::find_if(named.begin(), named.end(), [c](const auto& n) { return n.first == c; });
    if (field != named.end()) {
      out += field->second;
    } else {
      out += c == 'x' ? f.digits.at(next++) : c;
    }
  }
  return out;
}

std::string AsciiLower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

// Full-width digits, U+FF10 to U+FF19.
std::string WideDigits(std::string_view s) {
  std::string out;
  for (char c : s) {
    if (c >= '0' && c <= '9') {
      out += "\xEF\xBC";
      out += static_cast<char>(0x90 + (c - '0'));
    } else {
      out += c;
    }
  }
  return out;
}

// How a value is written, and what the extractor should make of it: both
// patterns in the placeholders of Fields.
struct Form {
  std::string_view name;
  std::string_view written;
  std::string_view expected;
  int weight;
  bool wideDigits = false;
};

// What stands between a label and its value. Repeats weigh an entry.
constexpr std::array<std::string_view, 11> kGaps{"：", "：",  "：", ":",  ":", " ",
                                                 "",   "： ", ": ", "　", "\t"};
// Behind a Latin label in front of an address, where a glued one would make
// the label part of it.
constexpr std::array<std::string_view, 5> kSpacedGaps{"：", ":", ": ", "： ", " "};
constexpr std::array<std::string_view, 4> kNameGaps{"", "", " ", "："};
constexpr std::array<std::string_view, 1> kNoGap{""};

struct Label {
  std::string_view text;
  int weight;
  std::span<const std::string_view> gaps = kGaps;
};

// One sort of value of a kind, with the labels written in front of it.
struct ValueClass {
  int weight;
  std::span<const Label> labels;
  std::span<const Form> forms;
  Fields (*draw)(Draw&);
};

struct KindTables {
  std::span<const ValueClass> classes;
  std::span<const std::string_view> joins;  // between values behind one label
  std::span<const std::string_view> tails;  // right behind the last of them
  std::span<const std::string_view> decoys;
};

// ---- Mobile numbers --------------------------------------------------------

constexpr std::array<std::string_view, 55> kMobilePrefixes{
    "130", "131", "132", "133", "134", "135", "136", "137", "138", "139", "145",
    "146", "147", "148", "149", "150", "151", "152", "153", "155", "156", "157",
    "158", "159", "162", "165", "166", "167", "170", "171", "172", "173", "175",
    "176", "177", "178", "180", "181", "182", "183", "184", "185", "186", "187",
    "188", "189", "190", "191", "192", "193", "195", "196", "197", "198", "199"};

Fields DrawMobile(Draw& draw) {
  Fields f;
  f.prefix = draw.Any(kMobilePrefixes);
  f.digits = draw.Digits(8);
  return f;
}

constexpr std::string_view kMobile = "Pxxxxxxxx";
constexpr std::array<Form, 15> kMobileForms{{
    {"plain", "Pxxxxxxxx", kMobile, 30},
    {"3-4-4 dashes", "P-xxxx-xxxx", kMobile, 8},
    {"3-4-4 blanks", "P xxxx xxxx", kMobile, 8},
    {"3-8 dash", "P-xxxxxxxx", kMobile, 2},
    {"+86 blank", "+86 Pxxxxxxxx", kMobile, 5},
    {"+86", "+86Pxxxxxxxx", kMobile, 4},
    {"+86-", "+86-Pxxxxxxxx", kMobile, 3},
    {"0086-", "0086-Pxxxxxxxx", kMobile, 3},
    {"(+86)", "(+86)Pxxxxxxxx", kMobile, 3},
    {"（+86）", "（+86）Pxxxxxxxx", kMobile, 2},
    {"86-", "86-Pxxxxxxxx", kMobile, 2},
    {"+86 3-4-4 blanks", "+86 P xxxx xxxx", kMobile, 2},
    {"+86-3-4-4 dashes", "+86-P-xxxx-xxxx", kMobile, 2},
    {"full-width digits", "Pxxxxxxxx", kMobile, 2, true},
    {"0086 blank", "0086 Pxxxxxxxx", kMobile, 1},
}};

constexpr std::array<Label, 20> kMobileLabels{{
    {"手机", 20},
    {"手机号", 4},
    {"手机号码", 5},
    {"联系手机", 3},
    {"移动电话", 2},
    {"电话", 5},
    {"联系电话", 4},
    {"联系方式", 3},
    {"Mobile", 2},
    {"Tel", 2},
    {"TEL", 1},
    {"手机/微信", 2},
    {"微信同号", 1},
    {"联系人王先生", 2, kNameGaps},
    {"联系人：李女士", 2, kNameGaps},
    {"张经理", 2, kNameGaps},
    {"销售部陈小姐", 1, kNameGaps},
    {"", 6, kNoGap},
    {"咨询热线", 1},
    {"Mob", 1},
}};

constexpr std::array<ValueClass, 1> kMobileClasses{{{1, kMobileLabels, kMobileForms, DrawMobile}}};

constexpr std::array<std::string_view, 11> kMobileJoins{"、", "/",  " / ", "，", ",", " ",
                                                        "或", "；", "  ",  "、", "，"};
constexpr std::array<std::string_view, 12> kMobileTails{
    "", "", "", "", "（微信同号）", "(同微信)", "欢迎来电", "欢迎咨询", "。", "，", "王先生", " "};

// Numbers that are no mobile number, some with a mobile number's digits
// inside a longer run.
constexpr std::array<std::string_view, 14> kMobileDecoys{"QQ：138~~~~~~~",
                                                         "QQ：18~~~~~~~~",
                                                         "传真：0755-8~~~~~~~",
                                                         "电话：010-6~~~~~~~",
                                                         "+86-755-8~~~~~~~",
                                                         "邮箱：kefu@163.com",
                                                         "400-8~~-~~~~",
                                                         "流水号：12~~~~~~~~~",
                                                         "商品编号：138~~~~~~~~~~",
                                                         "客服：12306",
                                                         "(0755)8~~~~~~~",
                                                         "编号：10~~~~~~~~~",
                                                         "t=17013888~~~~~",
                                                         "订单号：2023120113800~~~~~"};

// ---- Telephone and fax numbers ---------------------------------------------

struct AreaCode {
  std::string_view code;
  std::size_t localDigits;
};
constexpr std::array<AreaCode, 30> kAreaCodes{{
    {"010", 8},  {"020", 8},  {"021", 8},  {"022", 8},  {"023", 8},  {"024", 8},
    {"025", 8},  {"027", 8},  {"028", 8},  {"029", 8},  {"0755", 8}, {"0756", 7},
    {"0571", 8}, {"0512", 8}, {"0769", 8}, {"0592", 7}, {"0311", 8}, {"0371", 8},
    {"0531", 8}, {"0532", 8}, {"0731", 8}, {"0851", 8}, {"0871", 8}, {"0898", 8},
    {"0591", 8}, {"0757", 8}, {"0760", 8}, {"0668", 7}, {"0917", 7}, {"0633", 7},
}};

Fields DrawLandline(Draw& draw) {
  const AreaCode& area = kAreaCodes[draw.Below(kAreaCodes.size())];
  Fields f;
  f.area = area.code;
  f.local = draw.Digits(area.localDigits, 2);  // none starts with 0 or 1
  return f;
}

Fields DrawDigits(Draw& draw) {
  Fields f;
  f.digits = draw.Digits(10);
  return f;
}

// Brackets around the area code become one dash; blanks inside a number are
// dropped; a country code gives way to the trunk 0.
constexpr std::array<Form, 12> kLandlineForms{{
    {"area-local", "C-L", "C-L", 30},
    {"(area)local", "(C)L", "C-L", 8},
    {"（area）local", "（C）L", "C-L", 6},
    {"(area) local", "(C) L", "C-L", 3},
    {"+86-area-local", "+86-c-L", "C-L", 5},
    {"+86-0area-local", "+86-C-L", "C-L", 2},
    {"86-0area-local", "86-C-L", "C-L", 3},
    {"0086-area-local", "0086-c-L", "C-L", 2},
    {"+86 area local", "+86 c L", "CL", 2},
    {"area local", "C L", "CL", 5},
    {"arealocal", "CL", "CL", 6},
    {"+86(area)local", "+86(c)L", "C-L", 1},
}};

constexpr std::array<Form, 10> kServiceForms{{
    {"400-xxx-xxxx", "400-xxx-xxxx", "400-xxx-xxxx", 12},
    {"4009-xxx-xxx", "4009-xxx-xxx", "4009-xxx-xxx", 4},
    {"4000-xxx-xxx", "4000-xxx-xxx", "4000-xxx-xxx", 2},
    {"400-xxxx-xxx", "400-xxxx-xxx", "400-xxxx-xxx", 3},
    {"400 xxx xxxx", "400 xxx xxxx", "400xxxxxxx", 3},
    {"400xxxxxxx", "400xxxxxxx", "400xxxxxxx", 4},
    {"400xx-xxxxx", "400xx-xxxxx", "400xx-xxxxx", 1},
    {"800-xxx-xxxx", "800-xxx-xxxx", "800-xxx-xxxx", 3},
    {"800xxxxxxx", "800xxxxxxx", "800xxxxxxx", 1},
    {"400-xxx xxxx", "400-xxx xxxx", "400-xxxxxxx", 1},
}};

// A mobile number behind a telephone label is kept as it is.
constexpr std::array<Form, 1> kMobileAsPhoneForms{{{"mobile", "Pxxxxxxxx", kMobile, 1}}};

constexpr std::array<Label, 23> kLandlineLabels{{
    {"电话", 10},    {"联系电话", 6},  {"传真", 10},        {"Tel", 4},       {"TEL", 3},
    {"tel", 1},      {"Fax", 4},       {"FAX", 3},          {"fax", 1},       {"座机", 2},
    {"办公电话", 2}, {"固话", 1},      {"总机", 2},         {"电话/传真", 2}, {"Tel/Fax", 1},
    {"Phone", 1},    {"客服电话", 2},  {"咨询电话", 2},     {"服务热线", 1},  {"传真号码", 1},
    {"电话号码", 1}, {"Telephone", 1}, {"客户服务热线", 1},
}};
constexpr std::array<Label, 15> kServiceLabels{{
    {"服务热线", 5},
    {"热线", 3},
    {"咨询热线", 3},
    {"客服电话", 3},
    {"预订电话", 2},
    {"24小时预订热线", 1},
    {"免费预订电话", 1},
    {"7×24小时服务热线", 1},
    {"全国服务热线", 2},
    {"电话", 4},
    {"Tel", 1},
    {"酒店预订专线", 1},
    {"客户服务热线", 1},
    {"全国统一客服热线", 1},
    {"Hotline", 1},
}};
constexpr std::array<Label, 5> kMobileAsPhoneLabels{{
    {"电话", 5},
    {"联系电话", 3},
    {"Tel", 2},
    {"TEL", 1},
    {"电话号码", 1},
}};

constexpr std::array<ValueClass, 3> kFaxClasses{{
    {60, kLandlineLabels, kLandlineForms, DrawLandline},
    {25, kServiceLabels, kServiceForms, DrawDigits},
    {15, kMobileAsPhoneLabels, kMobileAsPhoneForms, DrawMobile},
}};

constexpr std::array<std::string_view, 6> kFaxJoins{" / ", "/", "、", "，", "；", " / "};
constexpr std::array<std::string_view, 11> kFaxTails{
    "",           "",           "", "", "（周一至周五）", "。", "!", "www.yeguilai.com",
    "，欢迎来电", "（工作日）", " "};

constexpr std::array<std::string_view, 13> kFaxDecoys{"Intel Core i7-12700",
                                                      "Hotel 2023",
                                                      "传真机型号 FX-2050",
                                                      "电话会议 14:30-15:30",
                                                      "电话：暂无",
                                                      "Telnet 端口 23",
                                                      "QQ：~~~~~~~~",
                                                      "邮箱：tel~~~~@163.com",
                                                      "手机：138~~~~~~~~",
                                                      "电话费 ￥50.00",
                                                      "传真机 ￥1380.00",
                                                      "Fax-free 2.0",
                                                      "电话号码是多少 2013-04-08"};

// ---- QQ numbers --------------------------------------------------------------

Fields DrawQQ(Draw& draw) {
  struct Length {
    std::size_t digits;
    int weight;
  };
  static constexpr std::array<Length, 6> kLengths{
      {{5, 1}, {6, 2}, {7, 3}, {8, 5}, {9, 6}, {10, 5}}};
  Fields f;
  f.number = draw.Digits(draw.Pick(kLengths).digits, 1);
  return f;
}

constexpr std::array<Form, 1> kQQForms{{{"digits", "N", "N", 1}}};

constexpr std::array<Label, 15> kQQLabels{{
    {"QQ", 12},
    {"qq", 3},
    {"Qq", 1},
    {"QQ号", 3},
    {"QQ号码", 3},
    {"Q Q", 2},
    {"QQ/微信", 3},
    {"微信/QQ", 1},
    {"在线QQ", 2},
    {"客服QQ", 3},
    {"联系QQ", 2},
    {"咨询QQ", 1},
    {"企业QQ", 1},
    {"ＱＱ", 1},
    {"腾讯QQ", 1},
}};

constexpr std::array<ValueClass, 1> kQQClasses{{{1, kQQLabels, kQQForms, DrawQQ}}};

constexpr std::array<std::string_view, 8> kQQJoins{"、", "/", " / ", "，", ",", " ", "或", "；"};
constexpr std::array<std::string_view, 9> kQQTails{
    "", "", "", "（微信同号）", "欢迎咨询", "。", " ", "点击交谈", "(工作时间在线)"};

// A QQ group is no QQ number; nor is a version of the QQ program.
constexpr std::array<std::string_view, 14> kQQDecoys{
    "QQ群：1~~~~~~~~",        "QQ群号：2~~~~~~~",
    "QQ交流群 3~~~~~~~~",     "加入QQ群1~~~~~~~",
    "qq.ip138.com/idsearch/", "QQ浏览器 10.5.3",
    "腾讯QQ 9.7.1",           "QQ2013",
    "QQ音乐 2023年度报告",    "QQ空间",
    "手机：138~~~~~~~~",      "电话：0755-8~~~~~~~",
    "微信号：wx~~~~~~~~",     "QQ群：5~~~~~~~（已满）"};

// ---- E-mail addresses ----------------------------------------------------------

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
constexpr std::array<Weighted, 22> kDomains{{
    {"qq.com", 6},         {"163.com", 6},      {"126.com", 3},
    {"sina.com", 3},       {"sina.cn", 1},      {"sohu.com", 1},
    {"yeah.net", 1},       {"foxmail.com", 2},  {"139.com", 1},
    {"aliyun.com", 1},     {"hotmail.com", 1},  {"gmail.com", 1},
    {"vip.163.com", 1},    {"vip.qq.com", 1},   {"abc-trade.com", 2},
    {"company.com.cn", 2}, {"szhq.cn", 1},      {"co.herostart.com", 1},
    {"hqdz.com.cn", 1},    {"chinaabc.net", 1}, {"mail.sz-abc.com.cn", 1},
    {"azona.com.hk", 1},
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
constexpr std::array<Form, 3> kAddressForms{{
    {"@", "U@D", "U@D", 20},
    {"# for @", "U#D", "U@D", 4},
    {"＠ for @", "U＠D", "U@D", 1},
}};

constexpr std::array<Label, 15> kAddressLabels{{
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
    {"", 5, kNoGap},
}};

constexpr std::array<ValueClass, 1> kAddressClasses{
    {{1, kAddressLabels, kAddressForms, DrawAddress}}};

constexpr std::array<std::string_view, 9> kAddressJoins{";",  "；",  "、", " ", ",",
                                                        "，", " / ", "或", "; "};
constexpr std::array<std::string_view, 11> kAddressTails{
    "", "", "", "", "欢迎", "。", "，", " ", ".", "（请将#换成@）", "欢迎投稿"};

// An "@" or "#" in file names, style sheets, mentions and colours.
constexpr std::array<std::string_view, 21> kAddressDecoys{
    "logo@2x.png",
    "icon@3x.webp",
    "banner@2x.jpg",
    "images/nav-icon@2x.png",
    "bg_top@2x.gif",
    "cdn.jsdelivr.net/npm/vue@2.6.14/dist/vue.min.js",
    "jquery@3.6.0",
    "bootstrap@5.3.0/dist/css/bootstrap.min.css",
    "swiper@8.4.5/swiper-bundle.min.css",
    "@media screen and (max-width:768px)",
    "@import url(common.css)",
    "微博@央视新闻",
    "(@SVNewsAlerts)",
    "color:#ff6600",
    "C#开发工程师",
    "第#3期",
    "index.html#top",
    "请将#换成@",
    "QQ：~~~~~~~~",
    "手机：138~~~~~~~~",
    "网址：www.abc-trade.com"};

// ---- Every kind ----------------------------------------------------------------

// Numbers, dates and codes that no kind takes for a contact. Every bare run of
// digits has a label or a unit, so that it cannot read as one more value of a
// list in front of it.
constexpr std::array<std::string_view, 39> kSharedDecoys{"订单号：2023~~~~138~~~~~~~",
                                                         "订单编号：~~~~~~~~~~~~~~~~~~",
                                                         "2023-12-1~",
                                                         "2023年12月1~日",
                                                         "2023/12/1~ 1~:2~:0~",
                                                         "发布时间：2023-12-01 13:45",
                                                         "13:4~",
                                                         "更新于2013-04-08",
                                                         "2011-3-15",
                                                         "￥138~.00",
                                                         "13800元",
                                                         "价格：￥1~~~.00",
                                                         "门市价: 4580 同程价: 1700",
                                                         "1380.00元/吨",
                                                         "￥200-300元",
                                                         "身份证号：44030519~~~~~~~~~~",
                                                         "1101051985~~~~~~~X",
                                                         "最佳答案150124198~~~~~~~~~王强",
                                                         "522723198905216475",
                                                         "卡号：6222 02~~ ~~~~ ~~~~ ~~~",
                                                         "账号 6217 ~~~~ ~~~~ ~~~~",
                                                         "邮编：518000",
                                                         "邮政编码：1000~~",
                                                         "共13~页",
                                                         "第1/13页",
                                                         "找到相关结果约13,800,000个",
                                                         "百度为您找到相关结果约100,000,000个",
                                                         "V13.8.1",
                                                         "版本：1.3.8",
                                                         "Android 13",
                                                         "粤ICP备1301~~~~号-1",
                                                         "京ICP备10036305号-7",
                                                         "京公网安备11010802022657号",
                                                         "增值电信业务经营许可证：合字B2-20090007",
                                                         "条形码：69~~~~~~~~~~~",
                                                         "营业时间：9:00-18:00",
                                                         "已售13800件",
                                                         "浏览次数：13812",
                                                         "地址：深圳市南山区科技园南区2栋301室"};

// Text around contacts: Chinese only, so that nothing glued to it joins a value.
constexpr std::array<std::string_view, 14> kFillers{"深圳市华强电子有限公司",
                                                    "地址：深圳市南山区科技园南区",
                                                    "联系人：王先生",
                                                    "欢迎来电咨询",
                                                    "主营：电子元器件、集成电路",
                                                    "百度快照",
                                                    "公司简介",
                                                    "联系我们",
                                                    "【艺龙旅行网】酒店预订_机票查询_酒店团购_",
                                                    "天津新冠贸易有限公司",
                                                    "东莞市恒丰五金制品厂",
                                                    "诚信经营，质量保证",
                                                    "网页",
                                                    "招聘信息"};
constexpr std::array<std::string_view, 5> kGlues{"", "", " ", "，", "　"};
constexpr std::array<std::string_view, 10> kSpacers{" ",   " ",  "，", "　", "；",
                                                    " | ", "\t", "  ", "。", ", "};
constexpr std::array<std::string_view, 5> kCells{"\t", " | ", "　　", "  ", "\t\t"};

constexpr KindTables kMobileTables{kMobileClasses, kMobileJoins, kMobileTails, kMobileDecoys};
constexpr KindTables kFaxTables{kFaxClasses, kFaxJoins, kFaxTails, kFaxDecoys};
constexpr KindTables kQQTables{kQQClasses, kQQJoins, kQQTails, kQQDecoys};
constexpr KindTables kAddressTables{kAddressClasses, kAddressJoins, kAddressTails, kAddressDecoys};

const KindTables& TablesOf(ContactKind kind) {
  static constexpr std::array<const KindTables*, 4> kByKind{&kMobileTables, &kAddressTables,
                                                            &kQQTables, &kFaxTables};
  return *kByKind[static_cast<int>(kind)];
}

class LineWriter {
 public:
  LineWriter(Draw& draw, const KindTables& tables) : draw_(draw), tables_(tables) {}

  // One label and `values` values behind it, of one class.
  void Entry(int values) {
    const ValueClass& valueClass = draw_.Pick(tables_.classes);
    const Label& label = draw_.Pick(valueClass.labels);
    line_.text += label.text;
    line_.text += draw_.Any(label.gaps);
    for (int i = 0; i < values; ++i) {
      if (i > 0) line_.text += draw_.Any(tables_.joins);
      const Form& form = draw_.Pick(valueClass.forms);
      const Fields fields = valueClass.draw(draw_);
      const std::string written = Fill(form.written, fields);
      line_.text += form.wideDigits ? WideDigits(written) : written;
      line_.expected.push_back({AsciiLower(Fill(form.expected, fields)), form.name, label.text});
    }
    line_.text += draw_.Any(tables_.tails);
  }
  void Decoy() {
    line_.text +=
        draw_.Scatter(draw_.Percent(50) ? draw_.Any(kSharedDecoys) : draw_.Any(tables_.decoys));
  }
  void Text(std::span<const std::string_view> table) { line_.text += draw_.Any(table); }
  ContactLine Take() { return std::move(line_); }

 private:
  Draw& draw_;
  const KindTables& tables_;
  ContactLine line_;
};

ContactLine MakeLine(Draw& draw, const KindTables& tables) {
  LineWriter w(draw, tables);
  const std::size_t shape = draw.Below(100);
  if (shape < 15) {  // nothing of the kind
    if (draw.Percent(40)) {
      w.Text(kFillers);
      w.Text(kSpacers);
    }
    w.Decoy();
    for (std::size_t more = draw.Below(3); more > 0; --more) {
      w.Text(kSpacers);
      w.Decoy();
    }
    return w.Take();
  }
  if (shape < 21) {  // a table row of five
    for (int cell = 0; cell < 5; ++cell) {
      if (cell > 0) w.Text(kCells);
      w.Entry(1);
    }
    return w.Take();
  }
  if (draw.Percent(40)) {
    w.Text(kFillers);
    w.Text(kGlues);
  }
  // One to three values, most lines one, behind one label or several.
  int values = draw.Percent(60) ? 1 : draw.Percent(70) ? 2 : 3;
  while (values > 0) {
    const int here = values > 1 && draw.Percent(40)
                         ? 1 + static_cast<int>(draw.Below(static_cast<std::size_t>(values)))
                         : 1;
    w.Entry(here);
    values -= here;
    if (values > 0 || draw.Percent(30)) {
      w.Text(kSpacers);
      if (draw.Percent(30)) {
        w.Decoy();
        if (values > 0) w.Text(kSpacers);
      }
    }
  }
  return w.Take();
}

}  // namespace

std::vector<ContactLine> ContactLines(ContactKind kind, std::size_t count, std::uint32_t seed) {
  Draw draw(seed + static_cast<std::uint32_t>(kind));
  std::vector<ContactLine> lines;
  lines.reserve(count);
  for (std::size_t i = 0; i < count; ++i) lines.push_back(MakeLine(draw, TablesOf(kind)));
  return lines;
}

}  // namespace brivano::testing
