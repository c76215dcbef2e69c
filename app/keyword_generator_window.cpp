#include "app/keyword_generator_window.h"

#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QToolButton>

#include "app/gbk_qt.h"
#include "app/pictures.h"
#include "app/user_dialogs.h"
#include "app/window_memory.h"
#include "base/text.h"
#include "base/text_lines.h"
#include "files/keyword_generator.h"

namespace brivano {
namespace {

QPlainTextEdit* Box(QWidget* parent, int x, int y, int width, int height, std::string_view utf8) {
  auto* box = new QPlainTextEdit(parent);
  box->setGeometry(x, y, width, height);
  box->setLineWrapMode(QPlainTextEdit::NoWrap);
  box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // The box shows lines; the built-in texts carry CR LF between them.
  box->setPlainText(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()))
                        .replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  return box;
}

QToolButton* Button(QWidget* parent, int x, int y, const QString& caption, ToolPicture picture) {
  auto* button = new QToolButton(parent);
  button->setGeometry(x, y, 65, 25);
  button->setText(caption);
  button->setIcon(ToolButtonIcon(picture));
  button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  button->setAutoRaise(true);
  return button;
}

// The text of a box as the keyword files hold it: GBK, lines ended by CR LF.
std::string BoxText(const QPlainTextEdit* box) {
  return NormalizeLineBreaks(GbkFromQString(box->toPlainText()));
}

}  // namespace

KeywordGeneratorWindow::KeywordGeneratorWindow(UserDialogs& dialogs, UserFeedback& feedback,
                                               WindowMemory& memory, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      dialogs_(dialogs),
      feedback_(feedback),
      memory_(memory) {
  setWindowTitle(QStringLiteral("创建关键词列表文件"));
  setFixedSize(370, 386);
  (new QLabel(QStringLiteral("城市名字"), this))->move(64, 8);
  citiesEdit_ = Box(this, 16, 32, 153, 113, kBuiltInCities);
  (new QLabel(QStringLiteral("行业字符"), this))->move(232, 8);
  tradesEdit_ = Box(this, 184, 32, 153, 113, kBuiltInTrades);
  (new QLabel(QStringLiteral("生成搜索关键词列表"), this))->move(120, 160);
  listEdit_ = Box(this, 16, 184, 321, 105, "");
  connect(Button(this, 72, 308, QStringLiteral("创建"), ToolPicture::Create), &QToolButton::clicked,
          this, &KeywordGeneratorWindow::Generate);
  connect(Button(this, 184, 308, QStringLiteral("保存"), ToolPicture::Save), &QToolButton::clicked,
          this, &KeywordGeneratorWindow::SaveList);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
}

void KeywordGeneratorWindow::Generate() {
  const std::string list = GenerateKeywordList(BoxText(citiesEdit_), BoxText(tradesEdit_));
  QString shown = QStringFromGbk(list);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  listEdit_->setPlainText(shown);
}

void KeywordGeneratorWindow::SaveList() {
  FileDialogRequest request;
  request.title = QStringLiteral("生成搜索关键词列表文件");
  request.filter = QStringLiteral("文本文件|*.txt|所有文件|*");
  request.defaultSuffix = QStringLiteral("txt");
  request.initialFolder = memory_.ProposedFolder(DialogFolder::Generator);
  request.proposedName = QString::fromUtf8(kKeywordListFileName.data(),
                                           static_cast<qsizetype>(kKeywordListFileName.size()));
  update();
  const std::optional<QString> path = dialogs_.SaveFileName(this, request);
  if (!path) return;
  memory_.Remember(DialogFolder::Generator, *path);
  const std::string text = BoxText(listEdit_);
  if (SaveKeywordList(std::filesystem::path(path->toStdString()), text, feedback_)) {
    dialogs_.Message(this, QStringLiteral("已保存 %1 个关键词到 %2")
                               .arg(SplitTextLines(text).size())
                               .arg(QDir::toNativeSeparators(*path)));
  }
}

}  // namespace brivano
