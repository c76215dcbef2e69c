#include "app/main_window.h"
#include "app/site_fetcher.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QUrl>

#include "app/about_box.h"
#include "app/buyer_list_model.h"
#include "app/gbk_qt.h"
#include "app/keyword_generator_window.h"
#include "app/pictures.h"
#include "app/program_addresses.h"
#include "base/text.h"
#include "files/merge.h"
#include "files/result_files.h"
#include "search/start_command.h"
#include "store/exports.h"

namespace brivano {
namespace {

constexpr int kInitialWidth = 938;
constexpr int kInitialHeight = 659;

struct ToolCommandRow {
  ToolCommand command;
  void (MainWindow::*handler)();
};

const ToolCommandRow kToolCommands[] = {
    {ToolCommand::Search, &MainWindow::StartRun},
    {ToolCommand::Stop, &MainWindow::StopRun},
    {ToolCommand::Save, &MainWindow::SaveResults},
    {ToolCommand::Progress, &MainWindow::SaveProgress},
    {ToolCommand::Create, &MainWindow::OpenGenerator},
    {ToolCommand::Merge, &MainWindow::MergeFiles},
    {ToolCommand::Home, &MainWindow::OpenHomePage},
    {ToolCommand::About, &MainWindow::ShowAbout},
    {ToolCommand::Exit, &MainWindow::Quit},
};

struct TrayMenuRow {
  const char* objectName;
  const char* text;  // empty: the separator
  bool enabled;
  void (MainWindow::*handler)();
};

const TrayMenuRow kTrayMenu[] = {
    {"showAction", "显示主程序(&S)", false, &MainWindow::ShowFromTray},
    {"hideAction", "最小化显示(&M)", true, &MainWindow::HideToTray},
    {"contactAction", "与我们联系(&L)", true, &MainWindow::WriteToUs},
    {"homeAction", "访问软件官网(&V)", true, &MainWindow::OpenHomePage},
    {"aboutAction", "关于本软件(&A)", true, &MainWindow::ShowAbout},
    {"", "", true, nullptr},
    {"quitAction", "退 出(&Exit)", true, &MainWindow::Quit},
};

}  // namespace

MainWindow::MainWindow(MainWindowOptions options, QWidget* parent)
    : QMainWindow(parent),
      options_(std::move(options)),
      dialogs_(options_.dialogs ? options_.dialogs : &realDialogs_),
      timers_(options_.timerScale) {
  setObjectName(QStringLiteral("mainWindow"));
  setWindowTitle(ApplicationTitle() + QString(53, QLatin1Char(' ')) + kMakerLine);
  setWindowIcon(ProgramIcon());
  layout_ = BuildMainWindowLayout(*this, kMakerLine);
  ConnectToolBar();

  const ProgramFiles files = options_.files ? *options_.files : LocateProgramFiles();
  controls_ = std::make_unique<WindowControls>(
      *this, layout_, *dialogs_,
      WindowServices{[this] { return wiring_->State().SaveState(); },
                     [this](std::function<void()> done) { ClearBrowserCache(std::move(done)); },
                     [this](const std::string& message) { AskForAttention(message); },
                     [this] { return wiring_->State().CooldownSeconds(); }});
  browser_ = std::make_unique<WebPageBrowser>(layout_.browserView);
  if (options_.fetcher == nullptr) ownFetcher_ = std::make_unique<QtSiteFetcher>();
  wiring_ = std::make_unique<RunWiring>(
      RunParts{.host = *controls_,
               .browser = *browser_,
               .timers = timers_,
               .settings = *controls_,
               .feedback = *controls_,
               .files = files,
               .engines = options_.engines,
               .network = options_.network,
               .program = "brivano",
               .reportStore =
                   [this](const std::string& message) {
                     dialogs_->Error(this, QString::fromStdString(message));
                   },
               .randomSeconds = {},
               .fetcher = options_.fetcher != nullptr ? options_.fetcher : ownFetcher_.get(),
               .nowMs = {}});
  controls_->SetRun(&Run());
  Run().AddListener(*controls_);
  buyerModel_ = new BuyerListModel(Run().Buyers(), this);
  Run().Buyers().SetObserver(buyerModel_);
  layout_.buyerList->setModel(buyerModel_);
  buyerModel_->SetView(layout_.buyerList);

  // The window comes back where the user left it and as large; the first
  // start centres it. Its layout keeps it from getting smaller than its
  // controls need.
  memory_ = std::make_unique<WindowMemory>(files.folder, options_.documentsFolder);
  if (!restoreGeometry(memory_->Geometry())) {
    resize(kInitialWidth, kInitialHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      move(screen->availableGeometry().center() - rect().center());
    }
  }

  BuildTrayIcon();
  // Every tooltip of the program is green.
  QPalette tips = QToolTip::palette();
  tips.setColor(QPalette::ToolTipBase, QColor(0, 255, 0));
  tips.setColor(QPalette::ToolTipText, Qt::black);
  QToolTip::setPalette(tips);
  wiring_->State().Load();
  // The loaded boxes go to the run once; from here on each change the user
  // makes follows.
  Run().ChangeOptions(controls_->Options());
  ForwardOptionChanges();
  OfferRecovery();
  controls_->ShowCounts(static_cast<int>(Run().Buyers().size()));
  // Said once; the built-in rows serve meanwhile.
  if (!wiring_->EngineProblem().empty()) {
    layout_.Panel(StatusPanel::Message)->setText(QString::fromStdString(wiring_->EngineProblem()));
  }
  aboutBox_ = new AboutBox([this](const QString& address) { OpenThroughDesktop(address); }, this);
  generator_ = new KeywordGeneratorWindow(*dialogs_, *controls_, *memory_, this);
  BrowserDataStore* dataStore = options_.browserData;
  if (dataStore == nullptr) {
    browserData_ = std::make_unique<WebEngineDataStore>(layout_.browserView);
    dataStore = browserData_.get();
  }
  cleaner_ = new BrowserCacheCleaner(*dataStore, this);
  cleaner_->hide();
}

MainWindow::~MainWindow() {
  memory_->KeepGeometry(saveGeometry());
  SaveAtExit();
  Run().Buyers().SetObserver(nullptr);
  tray_->Hide();
}

void MainWindow::ForwardOptionChanges() {
  const auto forward = [this] { Run().ChangeOptions(controls_->Options()); };
  connect(layout_.speedSpin, &QSpinBox::textChanged, this, forward);
  connect(layout_.pageLimitSpin, &QSpinBox::textChanged, this, forward);
  for (QCheckBox* box : {layout_.dedupCheck, layout_.autoSaveCheck, layout_.crossRunDedupCheck,
                         layout_.validationCheck, layout_.visitSitesCheck}) {
    connect(box, &QCheckBox::toggled, this, forward);
  }
  for (std::size_t i = 0; i < 4; ++i) {
    connect(layout_.kindButtons[i], &QRadioButton::toggled, this, forward);
    connect(layout_.engineButtons[i], &QRadioButton::toggled, this, forward);
    connect(layout_.markEdits[i], &QLineEdit::textChanged, this, forward);
  }
}

// A run that a crash cut short left its values in the store: offered back
// once, with the keyword line to go on from.
void MainWindow::OfferRecovery() {
  const std::optional<UnfinishedRun> run = wiring_->TakeCrashedRun();
  if (!run) return;
  // 是 brings the list back; the run itself waits for 搜索, which offers the
  // line to go on from.
  const QString question = QStringLiteral(
                               "上次搜索意外中断，已采集%1条买家信息。\n是否恢复这些买家信息？"
                               "恢复后点击“搜索”，从第%2行关键词继续搜索。")
                               .arg(run->items.size())
                               .arg(std::max(run->keywordLine, 1));
  if (!dialogs_->Ask(this, question)) return;
  Run().SetStartLine(wiring_->Recover(*run));
}

void MainWindow::ConnectToolBar() {
  for (const ToolCommandRow& row : kToolCommands) {
    connect(layout_.Tool(row.command), &QToolButton::clicked, this, row.handler);
  }
}

void MainWindow::BuildTrayIcon() {
  trayMenu_ = new QMenu(this);
  trayMenu_->setObjectName(QStringLiteral("trayMenu"));
  for (const TrayMenuRow& row : kTrayMenu) {
    QAction* item =
        *row.text ? trayMenu_->addAction(QString::fromUtf8(row.text)) : trayMenu_->addSeparator();
    item->setObjectName(QString::fromLatin1(row.objectName));
    item->setEnabled(row.enabled);
    if (row.handler) connect(item, &QAction::triggered, this, row.handler);
  }
  tray_ = options_.trayIcon;
  if (tray_ == nullptr) {
    ownTray_ = std::make_unique<TrayIcon>();
    tray_ = ownTray_.get();
  }
  connect(tray_, &TrayIcon::clicked, this, &MainWindow::ShowFromTray);
  tray_->Show(windowIcon(), Utf8ToGbk("『Brivano』 V1.0"), trayMenu_);
}

// The keyword store and the settings; a failure is not shown.
void MainWindow::SaveAtExit() {
  wiring_->State().SaveAtExit();
}

void MainWindow::ClearBrowserCache(std::function<void()> done) {
  browser_->StartAfresh(std::move(done));
}

void MainWindow::AskForAttention(const std::string& gbkMessage) {
  QApplication::alert(this);
  if (isHidden()) tray_->ShowMessage(ApplicationTitle().trimmed(), QStringFromGbk(gbkMessage));
}

// ---- Commands ----------------------------------------------------------------

void MainWindow::StartRun() {
  StartFromWindow(Run(), controls_->Options(), *controls_);
}
void MainWindow::StopRun() {
  Run().Stop();
}

void MainWindow::SaveResults() {
  FileDialogRequest request;
  request.title = QStringLiteral("搜索结果保存为");
  request.filter = QStringLiteral(
      "文本文件|*.txt|CSV (UTF-8，Excel 可直接打开)|*.csv|Excel 工作簿|*.xlsx|所有文件|*");
  request.defaultSuffix = QStringLiteral("txt");
  request.initialFolder = memory_->ProposedFolder(DialogFolder::Save);
  request.proposedName = QString::fromStdString(ProposedResultFileName(Run().BuyerCounter()));
  update();
  if (Run().Buyers().empty()) return;
  const std::optional<QString> path = dialogs_->SaveFileName(this, request);
  if (!path) return;
  memory_->Remember(DialogFolder::Save, *path);
  update();
  const std::filesystem::path target(path->toStdString());
  const QString suffix = QFileInfo(*path).suffix().toLower();
  // A save says where it went: the dialog's folder is not always the one
  // the user thinks of.
  const auto saved = [&](std::size_t rows) {
    layout_.Panel(StatusPanel::Message)
        ->setText(
            QStringLiteral("已保存 %1 条到 %2").arg(rows).arg(QDir::toNativeSeparators(*path)));
  };
  if (suffix != QLatin1String("csv") && suffix != QLatin1String("xlsx")) {
    if (SaveResultFile(target, Run().Buyers(), *controls_)) saved(Run().Buyers().size());
    return;
  }
  BusyCursorScope busy(*controls_);
  const ExportSource rows = BuyerListExportSource(Run().Buyers());
  const ExportOutcome outcome =
      suffix == QLatin1String("csv") ? WriteCsvExport(target, rows) : WriteXlsxExport(target, rows);
  if (!outcome.ok()) {
    dialogs_->Error(this, QString::fromStdString(outcome.error));
    return;
  }
  saved(outcome.rows);
  if (outcome.cutCells > 0) {
    dialogs_->Message(this, QStringLiteral("有%1个单元格超过Excel每格32767个字符的上限，已截断。")
                                .arg(outcome.cutCells));
  }
}

void MainWindow::SaveProgress() {
  wiring_->State().SaveProgress();
}

void MainWindow::OpenGenerator() {
  generator_->exec();
}

void MainWindow::MergeFiles() {
  FileDialogRequest open;
  open.title = QStringLiteral("选择待合并的数据文件");
  open.filter = QStringLiteral("文本文件|*.txt|所有文件|*");
  open.initialFolder = memory_->ProposedFolder(DialogFolder::Merge);
  const QStringList inputs = dialogs_->OpenFileNames(this, open);
  if (inputs.isEmpty()) return;
  // The merged file is proposed beside the files just chosen.
  memory_->Remember(DialogFolder::Merge, inputs.front());
  FileDialogRequest save;
  save.title = QStringLiteral("合并后的数据文件保存为");
  save.filter = open.filter;
  save.defaultSuffix = QStringLiteral("txt");
  save.initialFolder = memory_->ProposedFolder(DialogFolder::Merge);
  const std::optional<QString> output = dialogs_->SaveFileName(this, save);
  if (!output) return;
  memory_->Remember(DialogFolder::Merge, *output);
  std::vector<std::filesystem::path> paths;
  for (const QString& input : inputs) paths.emplace_back(input.toStdString());
  MergeWithFeedback(paths, std::filesystem::path(output->toStdString()), *controls_);
}

void MainWindow::OpenThroughDesktop(const QString& address) {
  if (options_.openUrl) {
    options_.openUrl(address);
    return;
  }
  if (QDesktopServices::openUrl(QUrl(address))) return;
  // Without a browser or mail program nothing would happen at all.
  const QString message = address.startsWith(QLatin1String("mailto:"))
                              ? QStringLiteral("无法写邮件：没有可用的邮件程序（%1）")
                              : QStringLiteral("无法打开主页：没有可用的网页浏览器（%1）");
  layout_.Panel(StatusPanel::Message)->setText(message.arg(address));
}

void MainWindow::OpenHomePage() {
  OpenThroughDesktop(kHomePage);
}
void MainWindow::WriteToUs() {
  OpenThroughDesktop(kContactMail);
}
void MainWindow::ShowAbout() {
  aboutBox_->exec();
}

void MainWindow::Quit() {
  close();
}

void MainWindow::SetTrayMenuState(bool windowShown) {
  findChild<QAction*>(QStringLiteral("showAction"))->setEnabled(!windowShown);
  findChild<QAction*>(QStringLiteral("hideAction"))->setEnabled(windowShown);
}

void MainWindow::ShowFromTray() {
  SetTrayMenuState(true);
  if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
  show();  // hiding took the taskbar entry away; showing brings it back
}

void MainWindow::HideToTray() {
  SetTrayMenuState(false);
  hide();
}

void MainWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  // Minimising hides the program to the tray. Where the desktop has no
  // notification area that would leave no way back, so the window is then
  // minimised as usual.
  if (event->type() == QEvent::WindowStateChange && isMinimized() && tray_->Available()) {
    QTimer::singleShot(0, this, &MainWindow::HideToTray);
  }
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (!dialogs_->ConfirmExit(this)) {
    event->ignore();
    return;
  }
  event->accept();
}

}  // namespace brivano
