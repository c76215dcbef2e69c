// Generated lines of mobile numbers: how pages write them, and what is no mobile number.
#include "testing/contact_line_forms.h"

namespace brivano::testing::lines {
namespace {

constexpr std::array<Form, 21> kMobileForms{{
    {"plain", "Pxxxxxxxx", kMobile, 30},
    {"3-4-4 dashes", "P-xxxx-xxxx", kMobile, 8},
    {"3-4-4 blanks", "P xxxx xxxx", kMobile, 8},
    {"3-4-4 double blanks", "P  xxxx  xxxx", kMobile, 2},
    {"3-4-4 dots", "P.xxxx.xxxx", kMobile, 2},
    {"4-4-3 blanks", "Px xxxx xxx", kMobile, 3},
    {"4-4-3 dashes", "Px-xxxx-xxx", kMobile, 1},
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
    {"full-width 3-4-4 hyphens", "P－xxxx－xxxx", kMobile, 1, true},
    {"full-width 3-4-4 with ASCII digits", "P－xxxx－xxxx", kMobile, 1},
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
// inside a longer run, or grouped like one inside a bank card's groups.
constexpr std::array<std::string_view, 20> kMobileDecoys{"QQ：138~~~~~~~",
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
                                                         "订单号：2023120113800~~~~~",
                                                         "银行卡号：6222 0213 138~ ~~~~ ~~~",
                                                         "开户账号：6228 4800 1~~~ 1~~~ ~~~",
                                                         "账号：6217 0000 139~ ~~~~",
                                                         "运单号：138 ~~~~ ~~~~ ~~",
                                                         "身份证：44030519~~~~~~~~~~",
                                                         "规格：138.~~.~~"};

}  // namespace

const KindTables& MobileTables() {
  static constexpr KindTables kTables{kMobileClasses, kMobileJoins, kMobileTails, kMobileDecoys};
  return kTables;
}

}  // namespace brivano::testing::lines
