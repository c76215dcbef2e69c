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

}  // namespace

const KindTables& FaxTables() {
  static constexpr KindTables kTables{kFaxClasses, kFaxJoins, kFaxTails, kFaxDecoys};
  return kTables;
}

}  // namespace brivano::testing::lines
