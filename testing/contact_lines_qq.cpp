// Generated lines of QQ numbers, and what is no QQ number.
#include "testing/contact_line_forms.h"

namespace brivano::testing::lines {
namespace {

// Gaps behind a QQ label: those of every kind, a blank gap as wide as a
// table cell, and a colon with blanks around it.
constexpr std::array<std::string_view, 16> kQQGaps{"：",   "：",   "：",  ":",   ":",  " ",
                                                   "",     "： ",  ": ",  "　",  "\t", "    ",
                                                   "　　", "\t\t", " ：", "：  "};
// Behind a label that ends in its own number ("QQ2：") or in a lone "Q".
constexpr std::array<std::string_view, 4> kColonGaps{"：", ":", "： ", ": "};

std::string Number(Draw& draw) {
  struct Length {
    std::size_t digits;
    int weight;
  };
  static constexpr std::array<Length, 6> kLengths{
      {{5, 1}, {6, 2}, {7, 3}, {8, 5}, {9, 6}, {10, 5}}};
  return draw.Digits(draw.Pick(kLengths).digits, 1);
}

Fields DrawQQ(Draw& draw) {
  Fields f;
  f.number = Number(draw);
  return f;
}

// An address around the number: U in front of it, D behind it (the forms'
// patterns cannot hold the link's letters, which name fields).
template <std::size_t kFronts, std::size_t kBacks>
Fields DrawAddress(Draw& draw, const std::array<std::string_view, kFronts>& fronts,
                   const std::array<std::string_view, kBacks>& backs) {
  Fields f;
  f.number = Number(draw);
  f.user = draw.Any(fronts);
  f.domain = draw.Any(backs);
  return f;
}

Fields DrawMailbox(Draw& draw) {
  static constexpr std::array<std::string_view, 1> kFronts{""};
  static constexpr std::array<std::string_view, 5> kBacks{"@qq.com", "@qq.com", "@QQ.COM",
                                                          "@Qq.com", "@vip.qq.com"};
  return DrawAddress(draw, kFronts, kBacks);
}

Fields DrawTencentLink(Draw& draw) {
  static constexpr std::array<std::string_view, 3> kFronts{
      "tencent://message/?uin=", "tencent://message/?Menu=yes&uin=", "tencent://Message/?Uin="};
  static constexpr std::array<std::string_view, 3> kBacks{"&Site=qq&Menu=yes",
                                                          "&Site=深圳华强&Menu=yes", ""};
  return DrawAddress(draw, kFronts, kBacks);
}

Fields DrawWpaLink(Draw& draw) {
  static constexpr std::array<std::string_view, 3> kFronts{
      "http://wpa.qq.com/msgrd?v=3&uin=", "wpa.qq.com/msgrd?v=3&uin=",
      "http://wpa.qq.com/msgrd?V=1&amp;Uin="};
  static constexpr std::array<std::string_view, 2> kBacks{"&site=qq&menu=yes", ""};
  return DrawAddress(draw, kFronts, kBacks);
}

// The number names the host or stands in the path.
Fields DrawQzone(Draw& draw) {
  Fields f;
  f.number = Number(draw);
  if (draw.Percent(40)) {
    f.user = "http://";
    f.domain = ".qzone.qq.com";
  } else {
    f.user = draw.Percent(50) ? "https://user.qzone.qq.com/" : "user.qzone.qq.com/";
    f.domain = draw.Percent(50) ? "" : "/infocenter";
  }
  return f;
}

constexpr std::array<Form, 1> kQQForms{{{"digits", "N", "N", 1}}};
constexpr std::array<Form, 1> kMailboxForms{{{"mailbox", "UND", "N", 1}}};
constexpr std::array<Form, 1> kTencentForms{{{"tencent:// link", "UND", "N", 1}}};
constexpr std::array<Form, 1> kWpaForms{{{"wpa.qq.com link", "UND", "N", 1}}};
constexpr std::array<Form, 1> kQzoneForms{{{"qzone address", "UND", "N", 1}}};

constexpr std::array<Label, 31> kQQLabels{{
    {"QQ", 12, kQQGaps},        {"qq", 3, kQQGaps},          {"Qq", 1, kQQGaps},
    {"QQ号", 3, kQQGaps},       {"QQ号码", 3, kQQGaps},      {"Q Q", 2, kQQGaps},
    {"QQ/微信", 3, kQQGaps},    {"微信/QQ", 1, kQQGaps},     {"在线QQ", 2, kQQGaps},
    {"客服QQ", 3, kQQGaps},     {"联系QQ", 2, kQQGaps},      {"咨询QQ", 1, kQQGaps},
    {"企业QQ", 1, kQQGaps},     {"ＱＱ", 1, kQQGaps},        {"腾讯QQ", 1, kQQGaps},
    {"QQ&微信", 1, kQQGaps},    {"QQ/微信同号", 1, kQQGaps}, {"QQ（微信同号）", 1, kQQGaps},
    {"企鹅", 1, kQQGaps},       {"企鹅号", 1, kQQGaps},      {"扣扣", 1, kQQGaps},
    {"Q", 1, kColonGaps},       {"QQ1", 2, kColonGaps},      {"QQ2", 2, kColonGaps},
    {"QQ 2", 1, kColonGaps},    {"客服QQ3", 1, kColonGaps},  {"售后QQ1", 1, kColonGaps},
    {"QQ号码2", 1, kColonGaps}, {"QQ 号", 1, kQQGaps},       {"QQ（售后）", 1, kQQGaps},
    {"QQ號碼", 1, kQQGaps},
}};
constexpr std::array<Label, 6> kMailboxLabels{{{"邮箱", 3, kSpacedGaps},
                                               {"E-mail", 2, kSpacedGaps},
                                               {"Email", 1, kSpacedGaps},
                                               {"QQ邮箱", 2, kSpacedGaps},
                                               {"邮件", 1, kSpacedGaps},
                                               {"", 2, kNoGap}}};
constexpr std::array<Label, 4> kLinkLabels{{{"", 4, kNoGap},
                                            {"在线客服", 1, kNameGaps},
                                            {"点击交谈", 1, kSpacedGaps},
                                            {"QQ空间", 1, kSpacedGaps}}};

constexpr std::array<ValueClass, 5> kQQClasses{{{20, kQQLabels, kQQForms, DrawQQ},
                                                {3, kMailboxLabels, kMailboxForms, DrawMailbox},
                                                {1, kLinkLabels, kTencentForms, DrawTencentLink},
                                                {1, kLinkLabels, kWpaForms, DrawWpaLink},
                                                {1, kLinkLabels, kQzoneForms, DrawQzone}}};

// Between the numbers of a list, some with a note on whose number it is.
constexpr std::array<std::string_view, 12> kQQJoins{
    "、", "/", " / ", "，", ",", " ", "或", "；", "（售前），", "(张先生) ", "（售后）、", "　"};
// Behind the last number: notes, and a date or a price that is no number of
// the list.
constexpr std::array<std::string_view, 14> kQQTails{"",
                                                    "",
                                                    "",
                                                    "（微信同号）",
                                                    "欢迎咨询",
                                                    "。",
                                                    " ",
                                                    "点击交谈",
                                                    "(工作时间在线)",
                                                    "，2023-12-10",
                                                    "；2023年12月1日",
                                                    "，13933元/吨",
                                                    "，￥1380.00",
                                                    " 2011-3-15"};

// A QQ group is no QQ number; nor is a version of the QQ program, a label's
// own number, a mailbox elsewhere than at qq.com, or "uin" in another link.
constexpr std::array<std::string_view, 24> kQQDecoys{"QQ群：1~~~~~~~~",
                                                     "QQ群号：2~~~~~~~",
                                                     "QQ交流群 3~~~~~~~~",
                                                     "加入QQ群1~~~~~~~",
                                                     "qq.ip138.com/idsearch/",
                                                     "QQ浏览器 10.5.3",
                                                     "腾讯QQ 9.7.1",
                                                     "QQ2013",
                                                     "QQ音乐 2023年度报告",
                                                     "QQ空间",
                                                     "手机：138~~~~~~~~",
                                                     "电话：0755-8~~~~~~~",
                                                     "微信号：wx~~~~~~~~",
                                                     "QQ群：5~~~~~~~（已满）",
                                                     "QQ群1：6~~~~~~~",
                                                     "群号：7~~~~~~~~",
                                                     "1~~~~~~~@163.com",
                                                     "sales1~@qq.com",
                                                     "FAQ: 2~~~~~~",
                                                     "https://example.cn/login?uin=1~~~~~~~",
                                                     "QQ1：",
                                                     "QQ2：QQ群3~~~~~~~",
                                                     "QQ版本：9.7.2~",
                                                     "QQ:1~~~~~~~@126.com"};

}  // namespace

const KindTables& QQTables() {
  static constexpr KindTables kTables{kQQClasses, kQQJoins, kQQTails, kQQDecoys};
  return kTables;
}

}  // namespace brivano::testing::lines
