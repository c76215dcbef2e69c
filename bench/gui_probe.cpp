// brivano-gui-probe MODE: measurements of the desktop window.
//   startup   builds and shows the main window, exits once it is on screen
//             (time it with hyperfine for start-up to a shown window)
//   memory    resident memory when idle and after a 100-page run
//   biglist   a buyer list of a million items: time to append a page of
//             items and bring the newest into view, per tick
//   soak      a run of 5,000 pages on a fast clock: resident memory every
//             500 pages, to see that a long run does not grow without bound
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTableView>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/buyer_list_model.h"
#include "app/main_window.h"
#include "testing/cli_runner.h"
#include "testing/gui/engine_server.h"
#include "testing/gui/qt_application.h"
#include "testing/gui/scripted_dialogs.h"
#include "testing/gui/test_window_options.h"
#include "testing/gui/widget_lookup.h"

namespace {

using namespace brivano;
using namespace brivano::testing;

long ResidentKilobytesOf(const std::string& pid) {
  std::ifstream status("/proc/" + pid + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return 0;
}

// This process and every process below it (the browser's helper processes).
long ResidentKilobytes() {
  std::map<std::string, std::vector<std::string>> children;
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    const std::string pid = entry.path().filename().string();
    if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream stat(entry.path() / "stat");
    std::string content;
    std::getline(stat, content);
    const auto close = content.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream fields(content.substr(close + 2));
    std::string state, parent;
    fields >> state >> parent;
    children[parent].push_back(pid);
  }
  long total = 0;
  std::vector<std::string> pending{std::to_string(::getpid())};
  while (!pending.empty()) {
    const std::string pid = pending.back();
    pending.pop_back();
    total += ResidentKilobytesOf(pid);
    for (const auto& child : children[pid]) pending.push_back(child);
  }
  return total;
}

struct Window {
  TempDir folder;
  EngineServer server{100};
  ScriptedDialogs dialogs;
  std::unique_ptr<MainWindow> form;

  Window() {
    MainWindowOptions options = TestWindowOptions(server, dialogs, folder, 0.02);
    form = std::make_unique<MainWindow>(options);
    form->show();
  }
  ~Window() { form->close(); }
};

int Startup() {
  Window window;
  WaitUntil([&] { return window.form->windowHandle() && window.form->windowHandle()->isExposed(); },
            10000);
  return 0;
}

int Memory() {
  Window window;
  Pump(1000);
  std::printf("idle: %ld kB resident (with the browser's processes)\n", ResidentKilobytes());
  Find<QSpinBox>(*window.form, "pageLimitSpin")->setValue(50);
  Find<QSpinBox>(*window.form, "speedSpin")->setValue(3);  // 60 ms per page at this scale
  Find<QPlainTextEdit>(*window.form, "keywordEdit")
      ->setPlainText(QStringLiteral("a\nb"));  // 2 × 50 pages
  window.form->StartRun();
  WaitUntil([&] { return window.form->Run().StartLine() == 3 && !window.form->Run().Active(); },
            120000);
  std::printf("after a run of %lld pages: %ld kB resident (%zu items)\n",
              static_cast<long long>(window.server.Requests().size()), ResidentKilobytes(),
              window.form->Run().Buyers().size());
  return 0;
}

int BigList() {
  Window window;
  SearchRun& run = window.form->Run();
  for (int i = 0; i < 1000000; ++i)
    run.AddBuyerItem(std::to_string(13000000000LL + i), ContactKind::Mobile);
  window.form->BuyerModel()->Flush();
  Pump(200);
  std::vector<double> ticks;
  for (int tick = 0; tick < 50; ++tick) {
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < 30; ++i)
      run.AddBuyerItem(std::to_string(14000000000LL + tick * 30 + i), ContactKind::Mobile);
    window.form->BuyerModel()->Flush();
    Find<QTableView>(*window.form, "buyerList")->repaint();
    ticks.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
  }
  std::sort(ticks.begin(), ticks.end());
  std::printf("%zu items; 30 appended and shown per tick: median %.3f ms, max %.3f ms\n",
              run.Buyers().size(), ticks[ticks.size() / 2], ticks.back());
  return 0;
}

int Soak() {
  Window window;
  QStringList keywords;
  for (int k = 1; k <= 100; ++k) keywords << QStringLiteral("k%1").arg(k);
  Find<QPlainTextEdit>(*window.form, "keywordEdit")->setPlainText(keywords.join(QLatin1Char('\n')));
  Find<QSpinBox>(*window.form, "speedSpin")->setValue(3);       // 60 ms per page at this scale
  Find<QSpinBox>(*window.form, "pageLimitSpin")->setValue(50);  // 100 keywords × 50 pages
  QElapsedTimer clock;
  clock.start();
  window.form->StartRun();
  qsizetype reported = 0;
  WaitUntil(
      [&] {
        const qsizetype pages = window.server.Requests().size();
        if (pages >= reported + 500) {
          reported = pages - pages % 500;
          std::printf("%6lld pages  %7ld kB resident  %6.1f s\n", static_cast<long long>(reported),
                      ResidentKilobytes(), clock.elapsed() / 1000.0);
          std::fflush(stdout);
        }
        return !window.form->Run().Active() && window.form->Run().StartLine() == 101;
      },
      3600 * 1000);
  std::printf("end: %lld pages, %zu items, %ld kB resident, %.1f s\n",
              static_cast<long long>(window.server.Requests().size()),
              window.form->Run().Buyers().size(), ResidentKilobytes(), clock.elapsed() / 1000.0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: brivano-gui-probe startup|memory|biglist|soak\n", stderr);
    return 2;
  }
  if (::geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication application(argc, argv);
  if (std::strcmp(argv[1], "startup") == 0) return Startup();
  if (std::strcmp(argv[1], "memory") == 0) return Memory();
  if (std::strcmp(argv[1], "biglist") == 0) return BigList();
  if (std::strcmp(argv[1], "soak") == 0) return Soak();
  std::fputs("usage: brivano-gui-probe startup|memory|biglist|soak\n", stderr);
  return 2;
}
