#include "app/tform1.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QUrl>
#include <QVBoxLayout>

#include "app/buyer_list_model.h"
#include "app/gbk_qt.h"
#include "app/pictures.h"
#include "app/tform2.h"
#include "base/text.h"
#include "app/tform3.h"
#include "files/merge.h"
#include "files/result_files.h"
#include "files/run_tuning.h"
#include "files/whole_file.h"

namespace brivano {
namespace {

constexpr int kInitialWidth = 938;
constexpr int kInitialHeight = 659;
constexpr int kToolBarHeight = 30;
constexpr int kOptionStripHeight = 35;
constexpr int kBuyerAreaHeight = 139;
constexpr int kStatusBarHeight = 19;
constexpr int kKeywordBoxWidth = 241;
constexpr int kMarkPanelWidth = 239;

const QString kHomePage = QStringLiteral("https://brivano.example/");
const QString kContactMail = QStringLiteral("mailto:support@brivano.example");
const QString kMakerLine = QStringLiteral("support@brivano.example");

struct ToolButtonRow {
  int number;  // SpeedButtonN
  ToolPicture picture;
  const char* caption;
  const char* tooltip;
};

// The tool bar, left to right.
const ToolButtonRow kToolButtons[] = {
    {2, ToolPicture::Search, "搜索", "开始定向搜索"},
    {3, ToolPicture::Stop, "终止", "终止定向搜索"},
    {5, ToolPicture::Save, "保存", "保存搜索结果"},
    {8, ToolPicture::Progress, "进程", "保存搜索进程"},
    {6, ToolPicture::Create, "创建", "创建搜索文件"},
    {1, ToolPicture::Merge, "合并", "合并文件去重"},
    {4, ToolPicture::Home, "主页", "访问软件网站"},
    {9, ToolPicture::About, "关于", "关于本软件"},
    {10, ToolPicture::Exit, "退出", "退出软件系统"},
};

struct StatusPanelRow {
  int width;  // 0: the rest of the bar
  const char* designText;
};

const StatusPanelRow kStatusPanels[9] = {
    {75, "关键词总数："},
    {50, ""},
    {75, "第几关键词："},
    {50, ""},
    {75, "搜索第几页"},
    {50, ""},
    {75, "买家信息数："},
    {50, ""},
    {0, ""},
};

struct RadioRow {
  const char* caption;
  int x;
};

const RadioRow kContactKindButtons[4] = {{"手机", 80}, {"邮箱", 136}, {"QQ号", 196}, {"传真", 256}};
const RadioRow kEngineButtons[4] = {{"百度", 80}, {"搜狗", 136}, {"360", 192}, {"必应", 240}};

const char* const kMarkLabels[4] = {"手机标记：", "邮箱标记：", "QQ号标记：", "传真标记："};

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

}  // namespace

QStringList TForm1::BuiltInKeywords() {
  return {
      QStringLiteral("深圳 旅行社"), QStringLiteral("北京 旅行社"), QStringLiteral("广州 旅行社"),
      QStringLiteral("上海 旅行社"), QStringLiteral("深圳 酒店"),   QStringLiteral("广州 展览"),
      QStringLiteral("上海 展览"),   QStringLiteral("北京 展览"),   QStringLiteral("上海 电器"),
      QStringLiteral("北京 咨询"),   QStringLiteral("深圳 机械")};
}

TForm1::TForm1(TForm1Options options, QWidget* parent)
    : QMainWindow(parent),
      options_(std::move(options)),
      dialogs_(options_.dialogs ? options_.dialogs : &realDialogs_),
      timers_(options_.timerScale) {
  setWindowTitle(ApplicationTitle() + QString(53, QLatin1Char(' ')) + kMakerLine);
  setWindowIcon(ProgramIcon());

  auto* central = new QWidget(this);
  auto* column = new QVBoxLayout(central);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  auto* toolBar = BevelledPanel(central);
  toolBar->setFixedHeight(kToolBarHeight);
  BuildToolBar(toolBar);
  column->addWidget(toolBar);
  column->addWidget(BuildOptionStrip());
  column->addWidget(BuildBuyerArea());

  auto* middle = new QWidget(central);
  auto* row = new QHBoxLayout(middle);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  memo2_ = new QPlainTextEdit(middle);
  memo2_->setFixedWidth(kKeywordBoxWidth);
  memo2_->setLineWrapMode(QPlainTextEdit::NoWrap);
  memo2_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  memo2_->setToolTip(QStringLiteral("请在此输入买家所在的城市和行业，用空格符号分隔"));
  memo2_->setPlainText(BuiltInKeywords().join(QLatin1Char('\n')));
  connect(memo2_, &QPlainTextEdit::textChanged, this, [this] { keywordLinesStale_ = true; });
  row->addWidget(memo2_);

  auto* panel10 = BevelledPanel(middle);
  auto* panel11 = BevelledPanel(panel10);
  auto* outer = new QVBoxLayout(panel10);
  outer->setContentsMargins(2, 2, 2, 2);
  outer->addWidget(panel11);
  auto* inner = new QVBoxLayout(panel11);
  inner->setContentsMargins(2, 2, 2, 2);
  webBrowser1_ = new QWebEngineView(panel11);
  inner->addWidget(webBrowser1_);
  row->addWidget(panel10, 1);
  column->addWidget(middle, 1);
  column->addWidget(BuildStatusBar());
  setCentralWidget(central);

  const ProgramFiles files = options_.files ? *options_.files : LocateProgramFiles();
  EngineOverrides engines = LoadEngineOverrides(options_.engines, files.folder);
  browser_ = std::make_unique<WebPageBrowser>(webBrowser1_);
  run_ = std::make_unique<SearchRun>(RunEnvironment{.window = *this,
                                                    .browser = *browser_,
                                                    .timers = timers_,
                                                    .engines = std::move(engines.table),
                                                    .network = options_.network,
                                                    .randomSeconds = {}});
  buyerModel_ = new BuyerListModel(run_->Buyers(), this);
  run_->Buyers().SetObserver(buyerModel_);
  listView1_->setModel(buyerModel_);
  buyerModel_->SetView(listView1_);
  listView1_->horizontalHeader()->resizeSection(0, 450);

  resize(kInitialWidth, kInitialHeight);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }

  BuildTrayIcon();
  store_ = std::make_unique<StateStore>(files, *this, run_->Buyers(), *this);
  FormCreate();
  if (const WholeFile settings = ReadWholeFile(files.SettingsPath()); settings.ok()) {
    cooldownSeconds_ = ReadCooldownSeconds(IniFile(settings.bytes));
  }
  // Said once; the built-in rows serve meanwhile.
  if (!engines.problem.empty()) panels_.at(8)->setText(QString::fromStdString(engines.problem));
  form2_ = new TForm2([this](const QString& address) { OpenThroughDesktop(address); }, this);
  form3_ = new TForm3(*dialogs_, *this, store_->files().folder, this);
  BrowserDataStore* data = options_.browserData;
  if (data == nullptr) {
    browserData_ = std::make_unique<WebEngineDataStore>(webBrowser1_);
    data = browserData_.get();
  }
  delform_ = new Tdelform(*data, this);
  delform_->hide();
}

struct TrayMenuRow {
  int number;        // N17..N23
  const char* text;  // empty: the separator
  bool enabled;
  void (TForm1::*handler)();
};

void TForm1::BuildTrayIcon() {
  static const TrayMenuRow kTrayMenu[] = {
      {17, "显示主程序(&S)", false, &TForm1::N17Click},
      {18, "最小化显示(&M)", true, &TForm1::N18Click},
      {19, "与我们联系(&L)", true, &TForm1::N14Click},
      {20, "访问软件官网(&V)", true, &TForm1::SpeedButton4Click},
      {21, "关于本软件(&A)", true, &TForm1::N15Click},
      {22, "", true, nullptr},
      {23, "退 出(&Exit)", true, &TForm1::N23Click},
  };
  popupMenu1_ = new QMenu(this);
  for (const TrayMenuRow& row : kTrayMenu) {
    QAction* item = *row.text ? popupMenu1_->addAction(QString::fromUtf8(row.text))
                              : popupMenu1_->addSeparator();
    item->setEnabled(row.enabled);
    if (row.handler) connect(item, &QAction::triggered, this, row.handler);
    menuItems_[static_cast<std::size_t>(row.number - 17)] = item;
  }

  tray_ = options_.trayIcon;
  if (tray_ == nullptr) {
    ownTray_ = std::make_unique<TrayIcon>();
    tray_ = ownTray_.get();
  }
  connect(tray_, &TrayIcon::clicked, this, &TForm1::N17Click);
  tray_->Show(windowIcon(), Utf8ToGbk("『Brivano』 V1.0"), popupMenu1_);
}

TForm1::~TForm1() {
  FormDestroy();
  run_->Buyers().SetObserver(nullptr);
  tray_->Hide();
}

// The page lines come with the run; what is left is the green of every
// tooltip, then the keyword store and the settings file into the controls.
void TForm1::FormCreate() {
  QPalette tips = QToolTip::palette();
  tips.setColor(QPalette::ToolTipBase, QColor(0, 255, 0));
  tips.setColor(QPalette::ToolTipText, Qt::black);
  QToolTip::setPalette(tips);
  store_->FormCreate();
  keywordLinesStale_ = true;
}

// Only the keyword store is written at exit; a failure is not shown.
void TForm1::FormDestroy() {
  store_->FormDestroy();
}

void TForm1::BuildToolBar(QWidget* bar) {
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(2, 2, 2, 2);
  row->setSpacing(0);
  for (const ToolButtonRow& entry : kToolButtons) {
    auto* button = new QToolButton(bar);
    button->setText(QString::fromUtf8(entry.caption));
    button->setToolTip(QString::fromUtf8(entry.tooltip));
    button->setIcon(ToolButtonIcon(entry.picture));
    button->setIconSize(QSize(16, 16));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(55, 23);
    speedButtons_[entry.number] = button;
    row->addWidget(button);
  }
  row->addStretch(1);
  connect(SpeedButton(2), &QToolButton::clicked, this, &TForm1::N2Click);
  connect(SpeedButton(3), &QToolButton::clicked, this, &TForm1::N3Click);
  connect(SpeedButton(5), &QToolButton::clicked, this, &TForm1::N5Click);
  connect(SpeedButton(8), &QToolButton::clicked, this, &TForm1::SpeedButton8Click);
  connect(SpeedButton(6), &QToolButton::clicked, this, &TForm1::N20Click);
  connect(SpeedButton(1), &QToolButton::clicked, this, &TForm1::SpeedButton1Click);
  connect(SpeedButton(4), &QToolButton::clicked, this, &TForm1::SpeedButton4Click);
  connect(SpeedButton(9), &QToolButton::clicked, this, &TForm1::N15Click);
  connect(SpeedButton(10), &QToolButton::clicked, this, &TForm1::SpeedButton10Click);
}

QToolButton* TForm1::SpeedButton(int number) const {
  return speedButtons_.at(number);
}

QWidget* TForm1::BuildOptionStrip() {
  auto* strip = new QWidget;
  strip->setFixedHeight(kOptionStripHeight);
  auto* row = new QHBoxLayout(strip);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);

  auto* options = BevelledPanel(strip);
  options->setFixedWidth(311);
  Label(QStringLiteral("速度[秒]："), options, 6, 10);
  spinEdit1_ = new QSpinBox(options);
  spinEdit1_->setRange(3, 1000);
  spinEdit1_->setValue(8);
  spinEdit1_->setGeometry(66, 6, 39, 22);
  Label(QStringLiteral("页数："), options, 110, 10);
  spinEdit2_ = new QSpinBox(options);
  spinEdit2_->setRange(1, 76);
  spinEdit2_->setValue(10);
  spinEdit2_->setGeometry(146, 6, 39, 22);
  checkBox1_ = new QCheckBox(QStringLiteral("去重"), options);
  checkBox1_->setLayoutDirection(Qt::RightToLeft);  // caption at the left of the box
  checkBox1_->move(190, 8);
  checkBox2_ = new QCheckBox(QStringLiteral("自动存盘"), options);
  checkBox2_->setStyleSheet(QStringLiteral("QCheckBox { spacing: 2px; }"));
  checkBox2_->setLayoutDirection(Qt::RightToLeft);
  checkBox2_->move(238, 8);
  row->addWidget(options);

  auto addGroup = [&](QFrame*& panel, const char* label, const RadioRow(&buttons)[4], int first,
                      int checked) {
    panel = BevelledPanel(strip);
    Label(QString::fromUtf8(label), panel, 13, 10);
    auto* group = new QButtonGroup(panel);
    for (int i = 0; i < 4; ++i) {
      auto* button = new QRadioButton(QString::fromUtf8(buttons[i].caption), panel);
      button->move(buttons[i].x, 8);
      group->addButton(button, i);
      radioButtons_[first + i] = button;
    }
    radioButtons_[first + checked]->setChecked(true);
  };
  addGroup(panel5_, "买家信息：", kContactKindButtons, 0, 0);
  panel5_->setFixedWidth(312);
  row->addWidget(panel5_);
  addGroup(panel6_, "搜素引擎：", kEngineButtons, 4, 2);
  row->addWidget(panel6_, 1);
  return strip;
}

QWidget* TForm1::BuildBuyerArea() {
  auto* area = new QWidget;
  area->setFixedHeight(kBuyerAreaHeight);
  auto* row = new QHBoxLayout(area);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);

  auto* marks = BevelledPanel(area);
  marks->setFixedWidth(kMarkPanelWidth);
  for (int i = 0; i < 4; ++i) {
    const int y = 8 + 32 * i;
    Label(QString::fromUtf8(kMarkLabels[i]), marks, 6, y + 3);
    auto* edit = new QLineEdit(
        QString::fromUtf8(InfoOf(kAllContactKinds[static_cast<std::size_t>(i)]).defaultMark.data(),
                          static_cast<qsizetype>(InfoOf(kAllContactKinds[i]).defaultMark.size())),
        marks);
    edit->setGeometry(64, y, 161, 21);
    edits_[i] = edit;
  }
  row->addWidget(marks);

  // A one-column table rather than a list view: a list view lays out every
  // row again on each insertion, which at a million items costs tens of
  // milliseconds per page; the table's rows cost nothing until drawn.
  auto* listFrame = BevelledPanel(area);
  auto* listColumn = new QVBoxLayout(listFrame);
  listColumn->setContentsMargins(1, 1, 1, 1);
  listView1_ = new QTableView(listFrame);
  listView1_->setShowGrid(false);
  listView1_->setWordWrap(false);
  listView1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  listView1_->setSelectionBehavior(QAbstractItemView::SelectRows);
  listView1_->setSelectionMode(QAbstractItemView::SingleSelection);
  listView1_->setFrameShape(QFrame::NoFrame);
  listView1_->setIconSize(QSize(16, 16));
  listView1_->verticalHeader()->hide();
  listView1_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  listView1_->verticalHeader()->setDefaultSectionSize(listView1_->fontMetrics().height() + 4);
  listView1_->horizontalHeader()->setSectionsClickable(false);
  listView1_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  listView1_->horizontalHeader()->setHighlightSections(false);
  listColumn->addWidget(listView1_, 1);
  row->addWidget(listFrame, 1);
  return area;
}

QWidget* TForm1::BuildStatusBar() {
  auto* bar = new QWidget;
  bar->setFixedHeight(kStatusBarHeight);
  auto* row = new QHBoxLayout(bar);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(1);
  for (int i = 0; i < 9; ++i) {
    auto* panel = new QLabel(QString::fromUtf8(kStatusPanels[i].designText), bar);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    if (kStatusPanels[i].width > 0) {
      panel->setFixedWidth(kStatusPanels[i].width);
      row->addWidget(panel);
    } else {
      panel->setAlignment(Qt::AlignCenter);
      panel->setText(kMakerLine);
      row->addWidget(panel, 1);
    }
    panels_[i] = panel;
  }
  return bar;
}

// ---- The run's view of the window ----------------------------------------

int TForm1::KeywordLineCount() const {
  if (keywordLinesStale_) {
    keywordLines_ = SplitTextLines(GbkFromQString(memo2_->toPlainText()));
    keywordLinesStale_ = false;
  }
  return static_cast<int>(keywordLines_.size());
}

std::string TForm1::KeywordLine(int index0) const {
  if (index0 < 0 || index0 >= KeywordLineCount()) return {};
  return keywordLines_[static_cast<std::size_t>(index0)];
}

std::string TForm1::SpeedText() const {
  return GbkFromQString(spinEdit1_->cleanText());
}
std::string TForm1::PageLimitText() const {
  return GbkFromQString(spinEdit2_->cleanText());
}
bool TForm1::DedupChecked() const {
  return checkBox1_->isChecked();
}
bool TForm1::AutoSaveChecked() const {
  return checkBox2_->isChecked();
}

ContactKind TForm1::CheckedContactKind() const {
  for (int i = 0; i < 4; ++i) {
    if (radioButtons_[i]->isChecked()) return kAllContactKinds[static_cast<std::size_t>(i)];
  }
  return ContactKind::Mobile;
}

Engine TForm1::CheckedEngine() const {
  for (int i = 0; i < 4; ++i) {
    if (radioButtons_[4 + i]->isChecked()) return static_cast<Engine>(i);
  }
  return Engine::So360;
}

std::string TForm1::Mark(ContactKind kind) const {
  return GbkFromQString(edits_[static_cast<int>(kind)]->text());
}

void TForm1::SetStatusPanel(int panel, const std::string& text) {
  panels_.at(panel)->setText(QStringFromGbk(text));
}

bool TForm1::SearchEnabled() const {
  return SpeedButton(2)->isEnabled();
}
void TForm1::SetSearchEnabled(bool enabled) {
  SpeedButton(2)->setEnabled(enabled);
}
void TForm1::SetStopEnabled(bool enabled) {
  SpeedButton(3)->setEnabled(enabled);
}

void TForm1::SetChoiceGroupsEnabled(bool enabled) {
  panel5_->setEnabled(enabled);
  panel6_->setEnabled(enabled);
}

void TForm1::Repaint() {
  update();
}

std::optional<std::string> TForm1::InputQuery(const std::string& caption, const std::string& prompt,
                                              const std::string& value) {
  const std::optional<QString> answer = dialogs_->InputQuery(
      this, QStringFromGbk(caption), QStringFromGbk(prompt), QStringFromGbk(value));
  if (!answer) return std::nullopt;
  return GbkFromQString(*answer);
}

void TForm1::ShowInformation(const std::string& text) {
  dialogs_->Information(this, QStringFromGbk(text));
}
void TForm1::ShowError(const std::string& text) {
  dialogs_->Error(this, QStringFromGbk(text));
}
void TForm1::ShowMessage(const std::string& text) {
  dialogs_->Message(this, QStringFromGbk(text));
}

bool TForm1::SaveState() {
  return store_->Button2Click();
}

void TForm1::ClearBrowserCache(std::function<void()> done) {
  delform_->SpeedButton4()->click();
  browser_->LoadBlankPageThen(std::move(done));
}

void TForm1::AskForAttention(const std::string& message) {
  QApplication::alert(this);
  if (isHidden()) {
    tray_->ShowMessage(ApplicationTitle().trimmed(), QStringFromGbk(message));
  }
}

int TForm1::CooldownSeconds() const {
  return cooldownSeconds_;
}

// ---- The settings store's view ------------------------------------------------

std::string TForm1::KeywordText() const {
  return NormalizeLineBreaks(GbkFromQString(memo2_->toPlainText()));
}

void TForm1::SetKeywordText(const std::string& text) {
  QString shown = QStringFromGbk(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  memo2_->setPlainText(shown);
  keywordLinesStale_ = true;
}

void TForm1::SetSpeed(int seconds) {
  spinEdit1_->setValue(seconds);
}
void TForm1::SetPageLimit(int pages) {
  spinEdit2_->setValue(pages);
}
void TForm1::SetDedupChecked(bool checked) {
  checkBox1_->setChecked(checked);
}
void TForm1::SetAutoSaveChecked(bool checked) {
  checkBox2_->setChecked(checked);
}

void TForm1::CheckContactKind(ContactKind kind) {
  radioButtons_[static_cast<std::size_t>(kind)]->setChecked(true);
}

void TForm1::CheckEngine(Engine engine) {
  radioButtons_[4 + static_cast<std::size_t>(engine)]->setChecked(true);
}

void TForm1::SetMark(ContactKind kind, const std::string& text) {
  edits_[static_cast<std::size_t>(kind)]->setText(QStringFromGbk(text));
}

std::int32_t TForm1::StartLine() const {
  return run_->StartLine();
}
void TForm1::SetStartLine(std::int32_t line) {
  run_->SetStartLine(line);
}

void TForm1::SetBusyCursor(bool busy) {
  if (busy) {
    QApplication::setOverrideCursor(Qt::BusyCursor);
    ++busyDepth_;
  } else if (busyDepth_ > 0) {
    QApplication::restoreOverrideCursor();
    --busyDepth_;
  }
}

void TForm1::SetStatusText(const std::string& text) {
  SetStatusPanel(8, text);
}

// ---- Commands ----------------------------------------------------------------

void TForm1::N2Click() {
  run_->N2Click();
}
void TForm1::N3Click() {
  run_->N3Click();
}

void TForm1::N5Click() {
  FileDialogRequest request;
  request.title = QStringLiteral("搜索结果保存为");
  request.filter = QStringLiteral("Text files(*.txt)|*.txt|All files(*.*)|*.*");
  request.defaultSuffix = QStringLiteral("txt");
  request.initialFolder = QString::fromStdString(store_->files().folder.string());
  request.proposedName = QString::fromStdString(ProposedResultFileName(run_->BuyerCounter()));
  Repaint();
  if (run_->Buyers().empty()) return;
  const std::optional<QString> path = dialogs_->SaveFileName(this, request);
  if (!path) return;
  Repaint();
  SaveResultFile(std::filesystem::path(path->toStdString()), run_->Buyers(), *this);
}

void TForm1::SpeedButton8Click() {
  store_->SpeedButton8Click();
}

void TForm1::N20Click() {
  form3_->exec();
}

void TForm1::SpeedButton1Click() {
  FileDialogRequest open;
  open.title = QStringLiteral("选择待合并的数据文件");
  open.filter = QStringLiteral("文本文件(*.txt)|*.txt|所有文件(*.*)|*.*");
  const QStringList inputs = dialogs_->OpenFileNames(this, open);
  if (inputs.isEmpty()) return;
  FileDialogRequest save;
  save.title = QStringLiteral("合并后的数据文件保存为");
  save.filter = open.filter;
  save.defaultSuffix = QStringLiteral("txt");
  const std::optional<QString> output = dialogs_->SaveFileName(this, save);
  if (!output) return;
  std::vector<std::filesystem::path> paths;
  for (const QString& input : inputs) paths.emplace_back(input.toStdString());
  MergeWithFeedback(paths, std::filesystem::path(output->toStdString()), *this);
}

void TForm1::OpenThroughDesktop(const QString& address) {
  if (options_.openUrl) {
    options_.openUrl(address);
  } else {
    QDesktopServices::openUrl(QUrl(address));  // a failure shows nothing
  }
}

void TForm1::SpeedButton4Click() {
  OpenThroughDesktop(kHomePage);
}
void TForm1::N14Click() {
  OpenThroughDesktop(kContactMail);
}
void TForm1::N15Click() {
  form2_->exec();
}

void TForm1::SpeedButton10Click() {
  close();
}

void TForm1::N23Click() {
  close();
}

void TForm1::N17Click() {
  MenuItem(17)->setEnabled(false);
  MenuItem(18)->setEnabled(true);
  if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
  show();  // hiding took the taskbar entry away; showing brings it back
}

void TForm1::N18Click() {
  MenuItem(18)->setEnabled(false);
  MenuItem(17)->setEnabled(true);
  hide();
}

void TForm1::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  // Minimising hides the program to the tray. Where the desktop has no
  // notification area that would leave no way back, so the window is then
  // minimised as usual.
  if (event->type() == QEvent::WindowStateChange && isMinimized() && tray_->Available()) {
    QTimer::singleShot(0, this, &TForm1::N18Click);
  }
}

void TForm1::closeEvent(QCloseEvent* event) {
  if (!dialogs_->ConfirmExit(this)) {
    event->ignore();
    return;
  }
  event->accept();
}

}  // namespace brivano
