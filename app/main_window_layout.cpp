#include "app/main_window_layout.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWebEngineView>

#include "app/pictures.h"

namespace brivano {
namespace {

constexpr int kToolBarHeight = 30;
constexpr int kOptionStripHeight = 35;
constexpr int kBuyerAreaHeight = 139;
constexpr int kStatusBarHeight = 19;
constexpr int kKeywordBoxWidth = 241;
constexpr int kMarkPanelWidth = 239;

struct ToolButtonRow {
  ToolCommand command;
  const char* objectName;
  ToolPicture picture;
  const char* caption;
  const char* tooltip;
};

const ToolButtonRow kToolButtons[kToolCommandCount] = {
    {ToolCommand::Search, "searchButton", ToolPicture::Search, "搜索", "开始定向搜索"},
    {ToolCommand::Stop, "stopButton", ToolPicture::Stop, "终止", "终止定向搜索"},
    {ToolCommand::Save, "saveButton", ToolPicture::Save, "保存", "保存搜索结果"},
    {ToolCommand::Progress, "progressButton", ToolPicture::Progress, "进程", "保存搜索进程"},
    {ToolCommand::Create, "createButton", ToolPicture::Create, "创建", "创建搜索文件"},
    {ToolCommand::Merge, "mergeButton", ToolPicture::Merge, "合并", "合并文件去重"},
    {ToolCommand::Home, "homeButton", ToolPicture::Home, "主页", "访问软件网站"},
    {ToolCommand::About, "aboutButton", ToolPicture::About, "关于", "关于本软件"},
    {ToolCommand::Exit, "exitButton", ToolPicture::Exit, "退出", "退出软件系统"},
};

struct StatusPanelRow {
  const char* objectName;
  int width;  // 0: the rest of the bar
  const char* caption;
};

const StatusPanelRow kStatusPanels[kStatusPanelCount] = {
    {"keywordCountCaption", 75, "关键词总数："},
    {"keywordCountPanel", 50, ""},
    {"keywordLineCaption", 75, "第几关键词："},
    {"keywordLinePanel", 50, ""},
    {"pageCaption", 75, "搜索第几页"},
    {"pagePanel", 50, ""},
    {"buyerCountCaption", 75, "买家信息数："},
    {"buyerCountPanel", 50, ""},
    {"messagePanel", 0, ""},
};

struct RadioRow {
  const char* objectName;
  const char* caption;
  int x;
};

const RadioRow kContactKindButtons[4] = {{"mobileButton", "手机", 80},
                                         {"emailButton", "邮箱", 136},
                                         {"qqButton", "QQ号", 196},
                                         {"faxButton", "传真", 256}};
const RadioRow kEngineButtons[4] = {{"baiduButton", "百度", 80},
                                    {"sogouButton", "搜狗", 136},
                                    {"so360Button", "360", 192},
                                    {"bingButton", "必应", 240}};

struct MarkRow {
  const char* objectName;
  const char* label;
};
const MarkRow kMarks[4] = {{"mobileMarkEdit", "手机标记："},
                           {"emailMarkEdit", "邮箱标记："},
                           {"qqMarkEdit", "QQ号标记："},
                           {"faxMarkEdit", "传真标记："}};

// A row filling `host` edge to edge.
QHBoxLayout* Row(QWidget* host, int spacing = 0) {
  auto* row = new QHBoxLayout(host);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(spacing);
  return row;
}

// A panel with a raised inner and a lowered outer bevel.
QFrame* BevelledPanel(QWidget* parent) {
  auto* frame = new QFrame(parent);
  frame->setFrameShape(QFrame::Panel);
  frame->setFrameShadow(QFrame::Raised);
  frame->setLineWidth(1);
  frame->setMidLineWidth(1);
  return frame;
}

QLabel* Label(const QString& text, QWidget* parent, int x, int y) {
  auto* label = new QLabel(text, parent);
  label->move(x, y);
  return label;
}

template <typename Widget>
Widget* Named(Widget* widget, const char* objectName) {
  widget->setObjectName(QString::fromLatin1(objectName));
  return widget;
}

QWidget* BuildToolBar(QWidget* parent, MainWindowLayout& layout) {
  auto* bar = BevelledPanel(parent);
  bar->setFixedHeight(kToolBarHeight);
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(2, 2, 2, 2);
  row->setSpacing(0);
  for (const ToolButtonRow& entry : kToolButtons) {
    auto* button = Named(new QToolButton(bar), entry.objectName);
    button->setText(QString::fromUtf8(entry.caption));
    button->setToolTip(QString::fromUtf8(entry.tooltip));
    button->setIcon(ToolButtonIcon(entry.picture));
    button->setIconSize(QSize(16, 16));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(55, 23);
    layout.toolButtons[static_cast<std::size_t>(entry.command)] = button;
    row->addWidget(button);
  }
  row->addStretch(1);
  return bar;
}

QSpinBox* SpinBox(QWidget* parent, const char* objectName, const SpinRange& range, int x) {
  auto* spin = Named(new QSpinBox(parent), objectName);
  spin->setRange(range.minimum, range.maximum);
  spin->setValue(range.initial);
  spin->setGeometry(x, 6, 39, 22);
  return spin;
}

QFrame* RadioGroup(QWidget* parent, const char* objectName, const char* label,
                   const RadioRow (&rows)[4], std::array<QRadioButton*, 4>& buttons, int checked) {
  auto* panel = Named(BevelledPanel(parent), objectName);
  Label(QString::fromUtf8(label), panel, 13, 10);
  auto* group = new QButtonGroup(panel);
  for (int i = 0; i < 4; ++i) {
    auto* button =
        Named(new QRadioButton(QString::fromUtf8(rows[i].caption), panel), rows[i].objectName);
    button->move(rows[i].x, 8);
    group->addButton(button, i);
    buttons[static_cast<std::size_t>(i)] = button;
  }
  buttons[static_cast<std::size_t>(checked)]->setChecked(true);
  return panel;
}

QWidget* BuildOptionStrip(QWidget* parent, MainWindowLayout& layout) {
  auto* strip = new QWidget(parent);
  strip->setFixedHeight(kOptionStripHeight);
  auto* row = Row(strip);

  auto* options = BevelledPanel(strip);
  options->setFixedWidth(311);
  Label(QStringLiteral("速度[秒]："), options, 6, 10);
  layout.speedSpin = SpinBox(options, "speedSpin", kSpeedRange, 66);
  Label(QStringLiteral("页数："), options, 110, 10);
  layout.pageLimitSpin = SpinBox(options, "pageLimitSpin", kPageLimitRange, 146);
  layout.dedupCheck = Named(new QCheckBox(QStringLiteral("去重"), options), "dedupCheck");
  layout.dedupCheck->setLayoutDirection(Qt::RightToLeft);  // caption at the left of the box
  layout.dedupCheck->move(190, 8);
  layout.autoSaveCheck = Named(new QCheckBox(QStringLiteral("自动存盘"), options), "autoSaveCheck");
  layout.autoSaveCheck->setStyleSheet(QStringLiteral("QCheckBox { spacing: 2px; }"));
  layout.autoSaveCheck->setLayoutDirection(Qt::RightToLeft);
  layout.autoSaveCheck->move(238, 8);
  row->addWidget(options);

  layout.kindGroup = RadioGroup(strip, "kindGroup", "买家信息：", kContactKindButtons,
                                layout.kindButtons, static_cast<int>(ContactKind::Mobile));
  layout.kindGroup->setFixedWidth(312);
  row->addWidget(layout.kindGroup);
  layout.engineGroup = RadioGroup(strip, "engineGroup", "搜素引擎：", kEngineButtons,
                                  layout.engineButtons, static_cast<int>(Engine::So360));
  row->addWidget(layout.engineGroup, 1);
  return strip;
}

QWidget* BuildBuyerArea(QWidget* parent, MainWindowLayout& layout) {
  auto* area = new QWidget(parent);
  area->setFixedHeight(kBuyerAreaHeight);
  auto* row = Row(area);

  auto* marks = BevelledPanel(area);
  marks->setFixedWidth(kMarkPanelWidth);
  for (std::size_t i = 0; i < 4; ++i) {
    const int y = 8 + 32 * static_cast<int>(i);
    Label(QString::fromUtf8(kMarks[i].label), marks, 6, y + 3);
    const std::string_view mark = InfoOf(kAllContactKinds[i]).defaultMark;
    auto* edit = Named(
        new QLineEdit(QString::fromUtf8(mark.data(), static_cast<qsizetype>(mark.size())), marks),
        kMarks[i].objectName);
    edit->setGeometry(64, y, 161, 21);
    layout.markEdits[i] = edit;
  }
  row->addWidget(marks);

  // The harvest store's two switches.
  auto* store = BevelledPanel(area);
  store->setFixedWidth(86);
  layout.crossRunDedupCheck =
      Named(new QCheckBox(QStringLiteral("跨次去重"), store), "crossRunDedupCheck");
  layout.crossRunDedupCheck->setToolTip(QStringLiteral("跳过以前各次搜索已经采集过的买家信息"));
  layout.crossRunDedupCheck->move(6, 8);
  layout.validationCheck =
      Named(new QCheckBox(QStringLiteral("号码校验"), store), "validationCheck");
  layout.validationCheck->setToolTip(QStringLiteral("剔除不是有效号码或邮箱地址的买家信息"));
  layout.validationCheck->move(6, 40);
  row->addWidget(store);

  // A one-column table rather than a list view: a list view lays out every
  // row again on each insertion, which at a million items costs tens of
  // milliseconds per page; the table's rows cost nothing until drawn.
  auto* listFrame = BevelledPanel(area);
  auto* listColumn = new QVBoxLayout(listFrame);
  listColumn->setContentsMargins(1, 1, 1, 1);
  auto* list = Named(new QTableView(listFrame), "buyerList");
  list->setShowGrid(false);
  list->setWordWrap(false);
  list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  list->setFrameShape(QFrame::NoFrame);
  list->setIconSize(QSize(16, 16));
  list->verticalHeader()->hide();
  list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 4);
  list->horizontalHeader()->setSectionsClickable(false);
  list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  list->horizontalHeader()->setHighlightSections(false);
  listColumn->addWidget(list, 1);
  row->addWidget(listFrame, 1);
  layout.buyerList = list;
  return area;
}

QWidget* BuildKeywordsAndBrowser(QWidget* parent, MainWindowLayout& layout) {
  auto* middle = new QWidget(parent);
  auto* row = Row(middle);
  auto* keywords = Named(new QPlainTextEdit(middle), "keywordEdit");
  keywords->setFixedWidth(kKeywordBoxWidth);
  keywords->setLineWrapMode(QPlainTextEdit::NoWrap);
  keywords->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  keywords->setToolTip(QStringLiteral("请在此输入买家所在的城市和行业，用空格符号分隔"));
  keywords->setPlainText(BuiltInKeywords().join(QLatin1Char('\n')));
  row->addWidget(keywords);
  layout.keywordEdit = keywords;

  auto* outerFrame = BevelledPanel(middle);
  auto* innerFrame = BevelledPanel(outerFrame);
  auto* outer = new QVBoxLayout(outerFrame);
  outer->setContentsMargins(2, 2, 2, 2);
  outer->addWidget(innerFrame);
  auto* inner = new QVBoxLayout(innerFrame);
  inner->setContentsMargins(2, 2, 2, 2);
  layout.browserView = Named(new QWebEngineView(innerFrame), "browserView");
  inner->addWidget(layout.browserView);
  row->addWidget(outerFrame, 1);
  return middle;
}

QWidget* BuildStatusBar(QWidget* parent, MainWindowLayout& layout, const QString& makerLine) {
  auto* bar = new QWidget(parent);
  bar->setFixedHeight(kStatusBarHeight);
  auto* row = Row(bar, 1);
  for (std::size_t i = 0; i < std::size(kStatusPanels); ++i) {
    const StatusPanelRow& entry = kStatusPanels[i];
    auto* panel = Named(new QLabel(QString::fromUtf8(entry.caption), bar), entry.objectName);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    if (entry.width > 0) {
      panel->setFixedWidth(entry.width);
      row->addWidget(panel);
    } else {
      panel->setAlignment(Qt::AlignCenter);
      panel->setText(makerLine);
      row->addWidget(panel, 1);
    }
    layout.statusPanels[i] = panel;
  }
  return bar;
}

}  // namespace

QStringList BuiltInKeywords() {
  return {
      QStringLiteral("深圳 旅行社"), QStringLiteral("北京 旅行社"), QStringLiteral("广州 旅行社"),
      QStringLiteral("上海 旅行社"), QStringLiteral("深圳 酒店"),   QStringLiteral("广州 展览"),
      QStringLiteral("上海 展览"),   QStringLiteral("北京 展览"),   QStringLiteral("上海 电器"),
      QStringLiteral("北京 咨询"),   QStringLiteral("深圳 机械")};
}

MainWindowLayout BuildMainWindowLayout(QMainWindow& window, const QString& makerLine) {
  MainWindowLayout layout;
  auto* central = new QWidget(&window);
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);
  column->addWidget(BuildToolBar(central, layout));
  column->addWidget(BuildOptionStrip(central, layout));
  column->addWidget(BuildBuyerArea(central, layout));
  column->addWidget(BuildKeywordsAndBrowser(central, layout), 1);
  column->addWidget(BuildStatusBar(central, layout, makerLine));
  window.setCentralWidget(central);
  return layout;
}

}  // namespace brivano
