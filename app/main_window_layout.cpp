#include "app/main_window_layout.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPainter>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableView>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWebEngineView>
#include <algorithm>
#include <initializer_list>

#include "app/pictures.h"

namespace brivano {
namespace {

constexpr int kToolBarHeight = 30;
constexpr int kOptionStripHeight = 35;
constexpr int kStatusBarHeight = 19;
constexpr int kKeywordBoxWidth = 241;
constexpr int kMarkEditWidth = 161;
constexpr int kMarkEditHeight = 21;
// The buyer area's height at the first start; below it the marks would not
// show whole. The area and the browser pane share any further height 1 : 3.
constexpr int kBuyerAreaHeight = 139;
constexpr int kBuyerAreaStretch = 1;
constexpr int kBrowserStretch = 3;
// The narrowest the buyer list and the browser pane get, so that a value
// and a page stay readable at the window's minimum size.
constexpr int kBuyerListMinimumWidth = 160;
// Wide enough for a mobile number or a usual e-mail address beside its icon.
constexpr int kBuyerValueColumnWidth = 190;
constexpr int kBrowserMinimumWidth = 200;
constexpr int kBrowserMinimumHeight = 120;
constexpr int kStatusMessageMinimumWidth = 120;

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
    {"sitesPanel", 90, ""},
    {"messagePanel", 0, ""},
};

struct RadioRow {
  const char* objectName;
  const char* caption;
};

const RadioRow kContactKindButtons[4] = {
    {"mobileButton", "手机"}, {"emailButton", "邮箱"}, {"qqButton", "QQ号"}, {"faxButton", "传真"}};
const RadioRow kEngineButtons[4] = {{"baiduButton", "百度"},
                                    {"sogouButton", "搜狗"},
                                    {"so360Button", "360"},
                                    {"bingButton", "必应"}};

struct MarkRow {
  const char* objectName;
  const char* label;
};
const MarkRow kMarks[4] = {{"mobileMarkEdit", "手机标记："},
                           {"emailMarkEdit", "邮箱标记："},
                           {"qqMarkEdit", "QQ号标记："},
                           {"faxMarkEdit", "传真标记："}};

// The run's switches, top to bottom: what the list keeps, then saving.
struct SwitchRow {
  QCheckBox* MainWindowLayout::*member;
  const char* objectName;
  const char* caption;
  const char* tooltip;  // "": none
};
const SwitchRow kSwitches[5] = {
    {&MainWindowLayout::dedupCheck, "dedupCheck", "去重", ""},
    {&MainWindowLayout::crossRunDedupCheck, "crossRunDedupCheck", "跨次去重",
     "跳过以前各次搜索已经采集过的买家信息"},
    {&MainWindowLayout::validationCheck, "validationCheck", "号码校验",
     "剔除不是有效号码或邮箱地址的买家信息"},
    {&MainWindowLayout::visitSitesCheck, "visitSitesCheck", "访问网站",
     "也访问搜索结果的网站及其联系我们等页面，采集其中的买家信息"},
    {&MainWindowLayout::autoSaveCheck, "autoSaveCheck", "自动存盘", ""},
};

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

// Controls sit in layouts, never at fixed places: a wider font than the
// one the window was drawn for moves its neighbours instead of clipping it.
// The option strip's margins and gaps are narrow so that the strip fits an
// 800-pixel screen.
QHBoxLayout* PanelRow(QWidget* panel) {
  auto* row = new QHBoxLayout(panel);
  row->setContentsMargins(4, 0, 4, 0);
  row->setSpacing(4);
  return row;
}

template <typename Widget>
Widget* Named(Widget* widget, const char* objectName) {
  widget->setObjectName(QString::fromLatin1(objectName));
  return widget;
}

// The buyer area asks for its first-start height only, so that the window
// shares any height beyond that between it and the browser pane.
class BuyerArea : public QWidget {
 public:
  using QWidget::QWidget;
  QSize sizeHint() const override {
    return {QWidget::sizeHint().width(), std::max(kBuyerAreaHeight, minimumSizeHint().height())};
  }
};

// The status bar's message. One longer than the panel is cut at its end with
// "…" rather than at both ends, and its tooltip shows it whole.
class MessagePanel : public QLabel {
 public:
  using QLabel::QLabel;

 protected:
  void paintEvent(QPaintEvent* event) override {
    if (!Cut()) {
      QLabel::paintEvent(event);
      return;
    }
    QPainter painter(this);
    drawFrame(&painter);
    const QRect area = contentsRect();
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                     fontMetrics().elidedText(text(), Qt::ElideRight, area.width()));
  }
  bool event(QEvent* event) override {
    if (event->type() == QEvent::ToolTip && Cut()) {
      QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text(), this);
      return true;
    }
    return QLabel::event(event);
  }

 private:
  bool Cut() const { return fontMetrics().horizontalAdvance(text()) > contentsRect().width(); }
};

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

QSpinBox* SpinBox(QWidget* parent, const char* objectName, const SpinRange& range) {
  auto* spin = Named(new QSpinBox(parent), objectName);
  spin->setRange(range.minimum, range.maximum);
  spin->setValue(range.initial);
  spin->setFixedHeight(std::max(22, spin->minimumSizeHint().height()));
  return spin;
}

QFrame* RadioGroup(QWidget* parent, const char* objectName, const char* label,
                   const RadioRow (&rows)[4], std::array<QRadioButton*, 4>& buttons, int checked,
                   bool flushLeft) {
  auto* panel = Named(BevelledPanel(parent), objectName);
  QHBoxLayout* row = PanelRow(panel);
  row->addWidget(new QLabel(QString::fromUtf8(label), panel));
  auto* group = new QButtonGroup(panel);
  for (int i = 0; i < 4; ++i) {
    auto* button =
        Named(new QRadioButton(QString::fromUtf8(rows[i].caption), panel), rows[i].objectName);
    group->addButton(button, i);
    row->addWidget(button);
    buttons[static_cast<std::size_t>(i)] = button;
  }
  // A panel given more room than it needs keeps its buttons together.
  if (flushLeft) row->addStretch(1);
  buttons[static_cast<std::size_t>(checked)]->setChecked(true);
  return panel;
}

QWidget* BuildOptionStrip(QWidget* parent, MainWindowLayout& layout) {
  auto* strip = new QWidget(parent);
  strip->setFixedHeight(kOptionStripHeight);
  auto* row = Row(strip);

  auto* options = BevelledPanel(strip);
  QHBoxLayout* optionRow = PanelRow(options);
  optionRow->addWidget(new QLabel(QStringLiteral("速度[秒]："), options));
  layout.speedSpin = SpinBox(options, "speedSpin", kSpeedRange);
  optionRow->addWidget(layout.speedSpin);
  optionRow->addWidget(new QLabel(QStringLiteral("页数："), options));
  layout.pageLimitSpin = SpinBox(options, "pageLimitSpin", kPageLimitRange);
  optionRow->addWidget(layout.pageLimitSpin);
  row->addWidget(options);

  layout.kindGroup = RadioGroup(strip, "kindGroup", "买家信息：", kContactKindButtons,
                                layout.kindButtons, static_cast<int>(ContactKind::Mobile), false);
  row->addWidget(layout.kindGroup);
  layout.engineGroup = RadioGroup(strip, "engineGroup", "搜素引擎：", kEngineButtons,
                                  layout.engineButtons, static_cast<int>(Engine::So360), true);
  row->addWidget(layout.engineGroup, 1);
  return strip;
}

// The marks and the switches stand in two panels side by side, one switch
// beside each mark, so both panels' rows share one height.
QGridLayout* RowGrid(QFrame* panel, int rightMargin) {
  auto* grid = new QGridLayout(panel);
  grid->setContentsMargins(6, 8, rightMargin, 8);
  grid->setHorizontalSpacing(4);
  grid->setVerticalSpacing(11);
  grid->setRowStretch(4, 1);
  panel->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
  return grid;
}

void ShareRowHeights(std::initializer_list<QGridLayout*> grids) {
  int height = kMarkEditHeight;
  for (QGridLayout* grid : grids) {
    for (int i = 0; i < grid->count(); ++i) {
      height = std::max(height, grid->itemAt(i)->sizeHint().height());
    }
  }
  for (QGridLayout* grid : grids) {
    for (int line = 0; line < 4; ++line) grid->setRowMinimumHeight(line, height);
  }
}

QWidget* BuildBuyerArea(QWidget* parent, MainWindowLayout& layout) {
  auto* area = new BuyerArea(parent);
  auto* row = Row(area);

  auto* marks = BevelledPanel(area);
  QGridLayout* markGrid = RowGrid(marks, 12);
  for (std::size_t i = 0; i < 4; ++i) {
    const int line = static_cast<int>(i);
    markGrid->addWidget(new QLabel(QString::fromUtf8(kMarks[i].label), marks), line, 0);
    const std::string_view mark = InfoOf(kAllContactKinds[i]).defaultMark;
    auto* edit = Named(
        new QLineEdit(QString::fromUtf8(mark.data(), static_cast<qsizetype>(mark.size())), marks),
        kMarks[i].objectName);
    edit->setMinimumWidth(kMarkEditWidth);
    edit->setFixedHeight(std::max(kMarkEditHeight, edit->minimumSizeHint().height()));
    markGrid->addWidget(edit, line, 1);
    layout.markEdits[i] = edit;
  }
  row->addWidget(marks);

  // The switches have their own column rather than a place in the option
  // strip, which then fits an 800-pixel screen.
  auto* switches = BevelledPanel(area);
  QGridLayout* switchGrid = RowGrid(switches, 6);
  for (std::size_t i = 0; i < std::size(kSwitches); ++i) {
    const SwitchRow& entry = kSwitches[i];
    auto* check =
        Named(new QCheckBox(QString::fromUtf8(entry.caption), switches), entry.objectName);
    if (*entry.tooltip != '\0') check->setToolTip(QString::fromUtf8(entry.tooltip));
    switchGrid->addWidget(check, static_cast<int>(i), 0, Qt::AlignLeft | Qt::AlignVCenter);
    layout.*entry.member = check;
  }
  row->addWidget(switches);
  ShareRowHeights({markGrid, switchGrid});

  // A table rather than a list view: a list view lays out every
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
  list->setMinimumSize(kBuyerListMinimumWidth, 0);
  list->verticalHeader()->hide();
  list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  list->verticalHeader()->setDefaultSectionSize(list->fontMetrics().height() + 4);
  list->horizontalHeader()->setSectionsClickable(false);
  list->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  list->horizontalHeader()->setHighlightSections(false);
  // The value keeps a width that shows an e-mail address; whose it is takes
  // the rest of the list, however wide the window.
  list->horizontalHeader()->setDefaultSectionSize(kBuyerValueColumnWidth);
  list->horizontalHeader()->setStretchLastSection(true);
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
  layout.browserView->setMinimumSize(kBrowserMinimumWidth, kBrowserMinimumHeight);
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
    QLabel* panel =
        entry.width > 0 ? new QLabel(QString::fromUtf8(entry.caption), bar) : new MessagePanel(bar);
    Named(panel, entry.objectName);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    if (entry.width > 0) {
      panel->setFixedWidth(std::max(entry.width, panel->sizeHint().width()));
      row->addWidget(panel);
      if (i == static_cast<std::size_t>(StatusPanel::Sites)) panel->hide();
    } else {
      // A long message is cut at the bar's end rather than widening the
      // window beyond the screen.
      panel->setAlignment(Qt::AlignCenter);
      panel->setText(makerLine);
      panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
      panel->setMinimumWidth(kStatusMessageMinimumWidth);
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
  column->addWidget(BuildBuyerArea(central, layout), kBuyerAreaStretch);
  column->addWidget(BuildKeywordsAndBrowser(central, layout), kBrowserStretch);
  column->addWidget(BuildStatusBar(central, layout, makerLine));
  window.setCentralWidget(central);
  return layout;
}

}  // namespace brivano
