// Generated lines of QQ numbers, and what is no QQ number.
#include "testing/contact_line_forms.h"

namespace brivano::testing::lines {
namespace {

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

}  // namespace

const KindTables& QQTables() {
  static constexpr KindTables kTables{kQQClasses, kQQJoins, kQQTails, kQQDecoys};
  return kTables;
}

}  // namespace brivano::testing::lines
