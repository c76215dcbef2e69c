#include "testing/contact_lines.h"

#include <algorithm>
#include <array>
#include <random>
#include <span>
#include <string>
#include <utility>

#include "testing/contact_line_forms.h"

namespace brivano::testing {
namespace {

using namespace lines;

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

const KindTables& TablesOf(ContactKind kind) {
  static constexpr std::array<const KindTables& (*)(), 4> kByKind{&MobileTables, &AddressTables,
                                                                  &QQTables, &FaxTables};
  return kByKind[static_cast<int>(kind)]();
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
