#include "app/window_controls.h"

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>

#include "app/gbk_qt.h"
#include "base/text.h"
#include "search/search_run.h"

namespace brivano {

WindowControls::WindowControls(QWidget& window, const MainWindowLayout& layout,
                               UserDialogs& dialogs, WindowServices services)
    : RunStatusBar(
          [this](StatusPanel panel, const std::string& text) { SetStatusPanel(panel, text); },
          [this](bool running) { ShowRunning(running); }),
      window_(window),
      layout_(layout),
      dialogs_(dialogs),
      services_(std::move(services)) {
  QObject::connect(layout_.keywordEdit, &QPlainTextEdit::textChanged, &window_, [this] {
    keywordLinesStale_ = true;
    SetStatusPanel(StatusPanel::KeywordCount, std::to_string(KeywordLineCount()));
  });
}

void WindowControls::ShowCounts(int buyerValues) {
  SetStatusPanel(StatusPanel::KeywordCount, std::to_string(KeywordLineCount()));
  SetStatusPanel(StatusPanel::BuyerCount, std::to_string(buyerValues));
}

RunOptions WindowControls::Options() const {
  RunOptions options;
  options.speed = SpinTextValue(GbkFromQString(layout_.speedSpin->cleanText()), kSpeedRange);
  options.pageLimit =
      SpinTextValue(GbkFromQString(layout_.pageLimitSpin->cleanText()), kPageLimitRange);
  options.dedup = layout_.dedupCheck->isChecked();
  options.autoSave = layout_.autoSaveCheck->isChecked();
  options.crossRunDedup = layout_.crossRunDedupCheck->isChecked();
  options.validate = layout_.validationCheck->isChecked();
  options.visitSites = layout_.visitSitesCheck->isChecked();
  for (std::size_t i = 0; i < 4; ++i) {
    if (layout_.kindButtons[i]->isChecked()) options.kind = kAllContactKinds[i];
    if (layout_.engineButtons[i]->isChecked()) options.engine = static_cast<Engine>(i);
    options.marks[i] = GbkFromQString(layout_.markEdits[i]->text());
  }
  return options;
}

int WindowControls::KeywordLineCount() const {
  if (keywordLinesStale_) {
    keywordLines_ = SplitTextLines(GbkFromQString(layout_.keywordEdit->toPlainText()));
    keywordLinesStale_ = false;
  }
  return static_cast<int>(keywordLines_.size());
}

std::string WindowControls::KeywordLine(int index0) const {
  if (index0 < 0 || index0 >= KeywordLineCount()) return {};
  return keywordLines_[static_cast<std::size_t>(index0)];
}

void WindowControls::SetStatusPanel(StatusPanel panel, const std::string& text) {
  layout_.Panel(panel)->setText(QStringFromGbk(text));
  // The sites' panel shows only while a run visits sites, and after it.
  if (panel == StatusPanel::Sites) layout_.Panel(panel)->setVisible(!text.empty());
}

void WindowControls::ShowRunning(bool running) {
  layout_.Tool(ToolCommand::Search)->setEnabled(!running);
  layout_.Tool(ToolCommand::Stop)->setEnabled(running);
  layout_.kindGroup->setEnabled(!running);
  layout_.engineGroup->setEnabled(!running);
}

void WindowControls::Repaint() {
  window_.update();
}

std::optional<std::string> WindowControls::InputQuery(const std::string& caption,
                                                      const std::string& prompt,
                                                      const std::string& value) {
  const std::optional<QString> answer = dialogs_.InputQuery(
      &window_, QStringFromGbk(caption), QStringFromGbk(prompt), QStringFromGbk(value));
  if (!answer) return std::nullopt;
  return GbkFromQString(*answer);
}

void WindowControls::ShowInformation(const std::string& text) {
  dialogs_.Information(&window_, QStringFromGbk(text));
}
void WindowControls::ShowError(const std::string& text) {
  dialogs_.Error(&window_, QStringFromGbk(text));
}
void WindowControls::ShowMessage(const std::string& text) {
  dialogs_.Message(&window_, QStringFromGbk(text));
}

bool WindowControls::SaveState() {
  return services_.saveState();
}
void WindowControls::ClearBrowserCache(std::function<void()> done) {
  services_.clearBrowserCache(std::move(done));
}
// A wall and a network that is down both want the user to know.
void WindowControls::Paused(PauseReason reason, const std::string& message) {
  RunStatusBar::Paused(reason, message);
  services_.askForAttention(message);
}
int WindowControls::CooldownSeconds() const {
  return services_.cooldownSeconds();
}

std::string WindowControls::KeywordText() const {
  return NormalizeLineBreaks(GbkFromQString(layout_.keywordEdit->toPlainText()));
}

void WindowControls::SetKeywordText(const std::string& text) {
  QString shown = QStringFromGbk(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  layout_.keywordEdit->setPlainText(shown);
  keywordLinesStale_ = true;
}

void WindowControls::SetSpeed(int seconds) {
  layout_.speedSpin->setValue(seconds);
}
void WindowControls::SetPageLimit(int pages) {
  layout_.pageLimitSpin->setValue(pages);
}
void WindowControls::SetDedupChecked(bool checked) {
  layout_.dedupCheck->setChecked(checked);
}
void WindowControls::SetAutoSaveChecked(bool checked) {
  layout_.autoSaveCheck->setChecked(checked);
}
void WindowControls::SetCrossRunDedup(bool checked) {
  layout_.crossRunDedupCheck->setChecked(checked);
}
void WindowControls::SetValidation(bool checked) {
  layout_.validationCheck->setChecked(checked);
}
void WindowControls::SetVisitSites(bool checked) {
  layout_.visitSitesCheck->setChecked(checked);
}
void WindowControls::CheckContactKind(ContactKind kind) {
  layout_.kindButtons[static_cast<std::size_t>(kind)]->setChecked(true);
}
void WindowControls::CheckEngine(Engine engine) {
  layout_.engineButtons[static_cast<std::size_t>(engine)]->setChecked(true);
}
void WindowControls::SetMark(ContactKind kind, const std::string& text) {
  layout_.markEdits[static_cast<std::size_t>(kind)]->setText(QStringFromGbk(text));
}

std::int32_t WindowControls::StartLine() const {
  return run_ != nullptr ? run_->WindowSavedLine() : 1;
}
void WindowControls::SetStartLine(std::int32_t line) {
  if (run_ != nullptr) run_->SetStartLine(line);
}

void WindowControls::SetBusyCursor(bool busy) {
  if (busy) {
    QApplication::setOverrideCursor(Qt::BusyCursor);
    ++busyDepth_;
  } else if (busyDepth_ > 0) {
    QApplication::restoreOverrideCursor();
    --busyDepth_;
  }
}

void WindowControls::SetStatusText(const std::string& text) {
  SetStatusPanel(StatusPanel::Message, text);
}

}  // namespace brivano
