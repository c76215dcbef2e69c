// The main window's controls and where they sit: the tool bar, the option
// strip, the marks and the buyer list, the keyword box beside the browser
// pane, and the status bar. Every control carries an object name of the same
// kind as its member ("speedSpin", "keywordEdit", "messagePanel"), by which
// tests find it.
#pragma once

#include <QString>
#include <array>

#include "base/contact_kind.h"
#include "search/engine_table.h"
#include "search/run_options.h"

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMainWindow;
class QPlainTextEdit;
class QRadioButton;
class QSpinBox;
class QTableView;
class QToolButton;
class QWebEngineView;

namespace brivano {

// The tool bar's commands, left to right.
enum class ToolCommand { Search, Stop, Save, Progress, Create, Merge, Home, About, Exit };
inline constexpr int kToolCommandCount = 9;

struct MainWindowLayout {
  std::array<QToolButton*, kToolCommandCount> toolButtons{};
  QSpinBox* speedSpin = nullptr;
  QSpinBox* pageLimitSpin = nullptr;
  QCheckBox* dedupCheck = nullptr;
  QCheckBox* autoSaveCheck = nullptr;
  QCheckBox* crossRunDedupCheck = nullptr;  // 跨次去重
  QCheckBox* validationCheck = nullptr;     // 号码校验
  QCheckBox* visitSitesCheck = nullptr;     // 访问网站
  QFrame* kindGroup = nullptr;
  QFrame* engineGroup = nullptr;
  std::array<QRadioButton*, 4> kindButtons{};    // by contact kind
  std::array<QRadioButton*, 4> engineButtons{};  // by engine
  std::array<QLineEdit*, 4> markEdits{};         // by contact kind
  QTableView* buyerList = nullptr;
  QPlainTextEdit* keywordEdit = nullptr;
  QWebEngineView* browserView = nullptr;
  std::array<QLabel*, kStatusPanelCount> statusPanels{};

  QToolButton* Tool(ToolCommand command) const {
    return toolButtons[static_cast<std::size_t>(command)];
  }
  QLabel* Panel(StatusPanel panel) const { return statusPanels[static_cast<std::size_t>(panel)]; }
};

// Builds every control into `window`, which gets it as its central widget.
// `makerLine` fills the message panel until the first message.
MainWindowLayout BuildMainWindowLayout(QMainWindow& window, const QString& makerLine);

// The keyword box's text at the first start.
QStringList BuiltInKeywords();

}  // namespace brivano
