// The main window: the keyword box, the run options, the buyer list, the
// browser pane and the status bar, and the command table that routes the
// user's clicks to the run and the file commands. The run itself lives in the
// core; this window shows it and forwards to it.
#pragma once

#include <QMainWindow>
#include <QWebEngineView>
#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "app/qt_run_timer.h"
#include "app/tdelform.h"
#include "app/tray_icon.h"
#include "app/user_dialogs.h"
#include "app/web_page_browser.h"
#include "files/file_interfaces.h"
#include "files/program_files.h"
#include "files/settings_store.h"
#include "search/engine_table.h"
#include "search/run_interfaces.h"
#include "search/search_run.h"

class QButtonGroup;
class QCheckBox;
class QFrame;
class QLabel;
class QAction;
class QLineEdit;
class QMenu;
class QTableView;
class QPlainTextEdit;
class QRadioButton;
class QSpinBox;
class QToolButton;

namespace brivano {

class BuyerListModel;
class TForm2;
class TForm3;

// What tests and the program choose when they build the window.
struct TForm1Options {
  EngineTable engines = DefaultEngineTable();
  // Shortens every timer interval (end-to-end tests); 1 in the program.
  double timerScale = 1.0;
  // Modal boxes and dialogs; the real ones when null.
  UserDialogs* dialogs = nullptr;
  // The network check's look-ups; the real ones where empty.
  NetworkLookups network;
  // Opening an address through the desktop; QDesktopServices when empty.
  std::function<void(const QString&)> openUrl;
  // Where the settings file, the keyword store and the auto-save file lie;
  // found from the executable when not given.
  std::optional<ProgramFiles> files;
  // The notification area; QSystemTrayIcon's when null.
  TrayIcon* trayIcon = nullptr;
  // What the cache cleaner clears; the browser pane's own data when null.
  BrowserDataStore* browserData = nullptr;
};

class TForm1 : public QMainWindow, public RunWindow, public SettingsControls, public UserFeedback {
  Q_OBJECT

 public:
  explicit TForm1(TForm1Options options = {}, QWidget* parent = nullptr);
  ~TForm1() override;

  // ---- The run's view of the window (GBK texts) ----
  int KeywordLineCount() const override;
  std::string KeywordLine(int index0) const override;
  std::string SpeedText() const override;
  std::string PageLimitText() const override;
  bool DedupChecked() const override;
  bool AutoSaveChecked() const override;
  ContactKind CheckedContactKind() const override;
  Engine CheckedEngine() const override;
  std::string Mark(ContactKind kind) const override;
  void SetStatusPanel(int panel, const std::string& text) override;
  bool SearchEnabled() const override;
  void SetSearchEnabled(bool enabled) override;
  void SetStopEnabled(bool enabled) override;
  void SetChoiceGroupsEnabled(bool enabled) override;
  void Repaint() override;
  std::optional<std::string> InputQuery(const std::string& caption, const std::string& prompt,
                                        const std::string& value) override;
  void ShowInformation(const std::string& text) override;
  void ShowError(const std::string& text) override;
  void ShowMessage(const std::string& text) override;
  bool SaveState() override;
  void ClearBrowserCache(std::function<void()> done) override;
  void AskForAttention(const std::string& message) override;
  int CooldownSeconds() const override;

  // ---- What the settings store and the file commands need ----
  std::string KeywordText() const override;
  void SetKeywordText(const std::string& text) override;
  void SetSpeed(int seconds) override;
  void SetPageLimit(int pages) override;
  void SetDedupChecked(bool checked) override;
  void SetAutoSaveChecked(bool checked) override;
  void CheckContactKind(ContactKind kind) override;
  void CheckEngine(Engine engine) override;
  void SetMark(ContactKind kind, const std::string& text) override;
  std::int32_t StartLine() const override;
  void SetStartLine(std::int32_t line) override;
  void SetBusyCursor(bool busy) override;
  void SetStatusText(const std::string& text) override;

  // ---- Commands ----
  void N2Click();             // 搜索
  void N3Click();             // 终止
  void N5Click();             // 保存
  void SpeedButton8Click();   // 进程
  void N20Click();            // 创建
  void SpeedButton1Click();   // 合并
  void SpeedButton4Click();   // 主页
  void N14Click();            // contact mail link
  void N15Click();            // 关于: the about box
  void SpeedButton10Click();  // 退出
  void N23Click();            // the tray menu's 退 出
  void N17Click();            // show the main window again
  void N18Click();            // hide it to the notification area

  // ---- Controls, by their form names ----
  SearchRun& Run() { return *run_; }
  QPlainTextEdit* Memo2() const { return memo2_; }
  QSpinBox* SpinEdit1() const { return spinEdit1_; }
  QSpinBox* SpinEdit2() const { return spinEdit2_; }
  QCheckBox* CheckBox1() const { return checkBox1_; }
  QCheckBox* CheckBox2() const { return checkBox2_; }
  QRadioButton* RadioButton(int number) const { return radioButtons_.at(number - 1); }
  QLineEdit* Edit(int number) const { return edits_.at(number - 1); }
  QFrame* Panel5() const { return panel5_; }
  QFrame* Panel6() const { return panel6_; }
  QTableView* ListView1() const { return listView1_; }
  BuyerListModel* BuyerModel() const { return buyerModel_; }
  QToolButton* SpeedButton(int number) const;
  QLabel* StatusPanel(int index) const { return panels_.at(index); }
  QWebEngineView* WebBrowser1() const { return webBrowser1_; }
  UserDialogs& Dialogs() const { return *dialogs_; }
  TForm2* AboutBox() const { return form2_; }
  TForm3* Generator() const { return form3_; }
  Tdelform* Cleaner() const { return delform_; }
  TrayIcon& Tray() const { return *tray_; }
  QMenu* PopupMenu1() const { return popupMenu1_; }
  // The tray menu's items N17..N23 (N22 is the separator).
  QAction* MenuItem(int number) const { return menuItems_.at(number - 17); }
  const ProgramFiles& Files() const { return store_->files(); }
  // The exit save on its own, for a session that may end without closing
  // the window.
  void SaveKeywordStore() { FormDestroy(); }

  static QStringList BuiltInKeywords();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void BuildToolBar(QWidget* bar);
  QWidget* BuildOptionStrip();
  QWidget* BuildBuyerArea();
  QWidget* BuildStatusBar();
  void OpenThroughDesktop(const QString& address);
  void FormCreate();
  void FormDestroy();
  void BuildTrayIcon();

  TForm1Options options_;
  QtUserDialogs realDialogs_;
  UserDialogs* dialogs_;

  QPlainTextEdit* memo2_ = nullptr;
  QSpinBox* spinEdit1_ = nullptr;
  QSpinBox* spinEdit2_ = nullptr;
  QCheckBox* checkBox1_ = nullptr;
  QCheckBox* checkBox2_ = nullptr;
  std::array<QRadioButton*, 8> radioButtons_{};
  std::array<QLineEdit*, 4> edits_{};
  QFrame* panel5_ = nullptr;
  QFrame* panel6_ = nullptr;
  QTableView* listView1_ = nullptr;
  BuyerListModel* buyerModel_ = nullptr;
  std::array<QToolButton*, 11> speedButtons_{};  // by the buttons' numbers 1..10
  std::array<QLabel*, 9> panels_{};
  QWebEngineView* webBrowser1_ = nullptr;

  int busyDepth_ = 0;
  TForm2* form2_ = nullptr;
  TForm3* form3_ = nullptr;
  Tdelform* delform_ = nullptr;
  std::unique_ptr<WebEngineDataStore> browserData_;
  QMenu* popupMenu1_ = nullptr;
  std::array<QAction*, 7> menuItems_{};

  // The keyword box's lines as GBK, worked out again only after an edit.
  mutable std::vector<std::string> keywordLines_;
  mutable bool keywordLinesStale_ = true;

  // Declared last so that the run goes first when the window is destroyed.
  QtTimerFactory timers_;
  int cooldownSeconds_ = 0;
  std::unique_ptr<WebPageBrowser> browser_;
  std::unique_ptr<SearchRun> run_;
  std::unique_ptr<StateStore> store_;
  // Goes before the menu it refers to, and removes the icon from the tray.
  std::unique_ptr<TrayIcon> ownTray_;
  TrayIcon* tray_ = nullptr;
};

}  // namespace brivano
