// The main window: it owns the run, the state store, the browser pane and the
// auxiliary windows, routes the user's clicks to them, and minimises to the
// notification area. Its controls are built by main_window_layout.h and shown
// to the core through window_controls.h; the run itself lives in the core.
#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <optional>

#include "app/browser_cache_cleaner.h"
#include "app/main_window_layout.h"
#include "app/qt_run_timer.h"
#include "app/tray_icon.h"
#include "app/user_dialogs.h"
#include "app/web_page_browser.h"
#include "app/window_controls.h"
#include "app/window_memory.h"
#include "batch/run_wiring.h"
#include "files/program_files.h"
#include "search/engine_table.h"
#include "visit/page_fetcher.h"

class QMenu;

namespace brivano {

class AboutBox;
class BuyerListModel;
class KeywordGeneratorWindow;

// What tests and the program choose when they build the window.
struct MainWindowOptions {
  EngineTable engines = DefaultEngineTable();
  // Shortens every timer interval (end-to-end tests); 1 in the program.
  double timerScale = 1.0;
  // Modal boxes and dialogs; the real ones when null.
  UserDialogs* dialogs = nullptr;
  // The network check's look-ups; the real ones where empty.
  NetworkLookups network;
  // Opening an address through the desktop; QDesktopServices when empty.
  std::function<void(const QString&)> openUrl;
  // What the file dialogs propose before their first use; the user's
  // documents folder when empty.
  QString documentsFolder;
  // Where the settings file, the keyword store and the auto-save file lie;
  // found from the executable when not given.
  std::optional<ProgramFiles> files;
  // The notification area; QSystemTrayIcon's when null.
  TrayIcon* trayIcon = nullptr;
  // What the cache cleaner clears; the browser pane's own data when null.
  BrowserDataStore* browserData = nullptr;
  // Fetches the result sites' pages for 访问网站; the window's own (libcurl)
  // when null.
  PageFetcher* fetcher = nullptr;
};

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(MainWindowOptions options = {}, QWidget* parent = nullptr);
  ~MainWindow() override;

  // ---- Commands ----
  void StartRun();       // 搜索
  void StopRun();        // 终止
  void SaveResults();    // 保存
  void SaveProgress();   // 进程
  void OpenGenerator();  // 创建
  void MergeFiles();     // 合并
  void OpenHomePage();   // 主页, and the tray menu's 访问软件官网
  void WriteToUs();      // the tray menu's 与我们联系
  void ShowAbout();      // 关于, and the tray menu's 关于本软件
  void Quit();           // 退出, and the tray menu's 退 出
  void ShowFromTray();   // a click on the tray icon, or 显示主程序
  void HideToTray();     // minimising, or 最小化显示

  // The exit save on its own, for a session that may end without closing
  // the window.
  void SaveAtExit();

  SearchRun& Run() { return wiring_->Run(); }
  WindowControls& Controls() { return *controls_; }
  BuyerListModel* BuyerModel() const { return buyerModel_; }
  UserDialogs& Dialogs() const { return *dialogs_; }
  AboutBox* About() const { return aboutBox_; }
  KeywordGeneratorWindow* Generator() const { return generator_; }
  BrowserCacheCleaner* Cleaner() const { return cleaner_; }
  TrayIcon& Tray() const { return *tray_; }
  WindowMemory& Memory() const { return *memory_; }
  const ProgramFiles& Files() const { return wiring_->State().files(); }
  StoreRecorder& Recorder() { return wiring_->Recorder(); }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void ConnectToolBar();
  void BuildTrayIcon();
  void AskForAttention(const std::string& gbkMessage);
  void ClearBrowserCache(std::function<void()> done);
  void OpenThroughDesktop(const QString& address);
  void SetTrayMenuState(bool windowShown);
  void OfferRecovery();
  // The boxes changed during a run count from its next step.
  void ForwardOptionChanges();

  MainWindowOptions options_;
  QtUserDialogs realDialogs_;
  UserDialogs* dialogs_;
  MainWindowLayout layout_;
  BuyerListModel* buyerModel_ = nullptr;
  AboutBox* aboutBox_ = nullptr;
  KeywordGeneratorWindow* generator_ = nullptr;
  BrowserCacheCleaner* cleaner_ = nullptr;
  std::unique_ptr<WebEngineDataStore> browserData_;
  std::unique_ptr<WindowMemory> memory_;
  QMenu* trayMenu_ = nullptr;

  // Declared last so that the run goes first when the window is destroyed.
  QtTimerFactory timers_;
  std::unique_ptr<PageFetcher> ownFetcher_;
  std::unique_ptr<WindowControls> controls_;
  std::unique_ptr<WebPageBrowser> browser_;
  std::unique_ptr<RunWiring> wiring_;
  // Goes before the menu it refers to, and removes the icon from the tray.
  std::unique_ptr<TrayIcon> ownTray_;
  TrayIcon* tray_ = nullptr;
};

}  // namespace brivano
