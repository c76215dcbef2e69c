// Generated lines of telephone and fax numbers: landlines, service numbers and
// mobile numbers behind telephone labels, and what is no such number.
#include "testing/contact_line_forms.h"

namespace brivano::testing::lines {
namespace {

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

// A landline whose local number has eight digits, also in the x's: "0760-6532-5318".
Fields DrawLandline8(Draw& draw) {
  Fields f;
  do {
    f = DrawLandline(draw);
  } while (f.local.size() != 8);
  f.digits = f.local;
  return f;
}

// Eight digits that may stand alone as a local number: none starts with 0 or 1.
Fields DrawLocal(Draw& draw) {
  Fields f;
  f.digits = draw.Digits(8, 2);
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

// Dashes of every kind, a local number in two halves, "(0)" behind the
// country code, extensions and notes behind the number, Taiwan's national
// form.
constexpr std::array<Form, 14> kLandline8Forms{{
    {"(area)4-4", "(C)xxxx-xxxx", "C-xxxx-xxxx", 3},
    {"area-4-4", "C-xxxx-xxxx", "C-xxxx-xxxx", 2},
    {"area—local", "C—L", "C-L", 2},
    {"area－local", "C－L", "C-L", 2},
    {"+86 (0)area-4 4", "+86 (0)c-xxxx xxxx", "C-xxxxxxxx", 2},
    {"+86 (area) 4-4", "+86 (c) xxxx-xxxx", "C-xxxx-xxxx", 2},
    {"area-local-ext", "C-L-801", "C-L", 2},
    {"area-local转ext", "C-L转801", "C-L", 2},
    {"area-local 分机 ext", "C-L 分机 8012", "C-L", 1},
    {"area-local EXT.ext", "C-L EXT.801", "C-L", 1},
    {"area-local(note)", "C-L(销售部)", "C-L", 2},
    {"area-local(hours)", "C-L(9:00-17:30)", "C-L", 2},
    {"+852 4 4", "+852 xxxx xxxx", "+852-xxxxxxxx", 1},
    {"(02)4-4", "(02)xxxx-xxxx", "02-xxxx-xxxx", 1},
}};

// Local numbers without an area code, and Hong Kong's, Macau's and
// Taiwan's with their country codes: as written, blanks dropped.
constexpr std::array<Form, 7> kLocalForms{{
    {"local", "xxxxxxxx", "xxxxxxxx", 3},
    {"local 4 4", "xxxx xxxx", "xxxxxxxx", 2},
    {"local 4-4", "xxxx-xxxx", "xxxx-xxxx", 2},
    {"(852) 4-4", "(852) xxxx-xxxx", "+852-xxxx-xxxx", 2},
    {"+853 4 4", "+853 xxxx xxxx", "+853-xxxxxxxx", 1},
    {"+886-2-4-4", "+886-2-xxxx-xxxx", "+886-2-xxxx-xxxx", 1},
    {"886-2-8", "886-2-xxxxxxxx", "+886-2-xxxxxxxx", 1},
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

// "T:" and its kind need their colon.
constexpr std::array<std::string_view, 4> kColonGaps{":", "：", ": ", "： "};
// A label in one cell of a table row and its number in the next.
constexpr std::array<std::string_view, 4> kCellGaps{" | ", "\t", "\t\t", "｜"};
// A label alone on its line, the number on the next line that is not blank.
constexpr std::array<std::string_view, 3> kLineAboveGaps{"\n", "\n\n", "\n \n"};

constexpr std::array<Label, 45> kLandlineLabels{{
    {"电话", 10},
    {"联系电话", 6},
    {"传真", 10},
    {"Tel", 4},
    {"TEL", 3},
    {"tel", 1},
    {"Fax", 4},
    {"FAX", 3},
    {"fax", 1},
    {"座机", 2},
    {"办公电话", 2},
    {"固话", 1},
    {"总机", 2},
    {"电话/传真", 2},
    {"Tel/Fax", 1},
    {"Phone", 1},
    {"客服电话", 2},
    {"咨询电话", 2},
    {"服务热线", 1},
    {"传真号码", 1},
    {"电话号码", 1},
    {"Telephone", 1},
    {"客户服务热线", 1},
    {"電話", 3},
    {"傳真", 3},
    {"聯系電話", 1},
    {"聯繫電話", 1},
    {"聯絡電話", 1},
    {"固話", 1},
    {"联系方式", 2},
    {"聯系方式", 1},
    {"电 话", 2},
    {"传　真", 1},
    {"T", 1, kColonGaps},
    {"F", 1, kColonGaps},
    {"T/F", 1},
    {"℡", 1},
    {"Ph", 1},
    {"电话( Tel )", 1},
    {"联系人及电话", 1},
    {"请联系", 1},
    {"来电至", 1},
    {"电话", 3, kCellGaps},
    {"传真", 1, kCellGaps},
    {"电话", 2, kLineAboveGaps},
}};
constexpr std::array<Label, 21> kServiceLabels{{
    {"熱線", 2},
    {"專線", 1},
    {"全國銷售熱線", 1},
    {"热线(8:00-22:00)", 1},
    {"咨询热线", 2, kLineAboveGaps},
    {"服务热线", 1, kCellGaps},
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
constexpr std::array<Label, 9> kMobileAsPhoneLabels{{
    {"电话", 5},
    {"联系电话", 3},
    {"Tel", 2},
    {"TEL", 1},
    {"电话号码", 1},
    {"M", 1, kColonGaps},
    {"聯繫電話", 1},
    {"Phone", 1},
    {"请联系", 1},
}};

constexpr std::array<ValueClass, 5> kFaxClasses{{
    {50, kLandlineLabels, kLandlineForms, DrawLandline},
    {15, kLandlineLabels, kLandline8Forms, DrawLandline8},
    {8, kLandlineLabels, kLocalForms, DrawLocal},
    {20, kServiceLabels, kServiceForms, DrawDigits},
    {12, kMobileAsPhoneLabels, kMobileAsPhoneForms, DrawMobile},
}};

constexpr std::array<std::string_view, 6> kFaxJoins{" / ", "/", "、", "，", "；", " / "};
// Dates, times, prices and years behind a list's separator are no number.
constexpr std::array<std::string_view, 17> kFaxTails{"",
                                                     "",
                                                     "",
                                                     "",
                                                     "（周一至周五）",
                                                     "。",
                                                     "!",
                                                     "www.yeguilai.com",
                                                     "，欢迎来电",
                                                     "（工作日）",
                                                     " ",
                                                     "；2020-07-24 02:39",
                                                     "，2023-12-10",
                                                     "，13933元/吨",
                                                     "，9:00-17:30",
                                                     "；2019年",
                                                     "，更新于2024"};

constexpr std::array<std::string_view, 19> kFaxDecoys{"Intel Core i7-12700",
                                                      "电话：12~~~~~~~~~",
                                                      "Tel: 11~~~~~~~~~",
                                                      "传真：2020-07-24 02:39",
                                                      "热线时间 9:00-22:00",
                                                      "电话订购满2000元",
                                                      "iPhone 15 Pro 256GB",
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

}  // namespace

const KindTables& FaxTables() {
  static constexpr KindTables kTables{kFaxClasses, kFaxJoins, kFaxTails, kFaxDecoys};
  return kTables;
}

}  // namespace brivano::testing::lines
