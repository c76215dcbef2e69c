#include "app/user_dialogs.h"

#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

namespace brivano {
namespace {

// "文本文件|*.txt|所有文件|*" as Qt writes filters: "文本文件 (*.txt);;所有
// 文件 (*)". Qt shows a description as it stands, so one that already ends in
// its patterns gets them only once.
QString QtFilter(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList entries;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    const QString patterns =
        QLatin1Char('(') + parts[i + 1].split(QLatin1Char(';')).join(' ') + QLatin1Char(')');
    const QString description = parts[i].trimmed();
    entries << (description.endsWith(patterns) ? description
                                               : description + QLatin1Char(' ') + patterns);
  }
  return entries.join(QStringLiteral(";;"));
}

// A box is as wide as its text asks, which for a short text leaves the
// window manager too little room for the title ("『Briv…』 V1.0"). Title
// bars use a larger, bold font than the window's, and keep room for the
// icon and two or three buttons.
void WidenForTitle(QMessageBox& box) {
  QFont titleFont = box.font();
  titleFont.setBold(true);
  titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
  constexpr int kTitleBarButtons = 140;
  const int width = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + kTitleBarButtons;
  // QMessageBox fixes its own size from its layout's size hint: a spacer
  // across the bottom row is the way to widen it.
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
  }
}

void Show(QMessageBox& box) {
  WidenForTitle(box);
  box.exec();
}

void PrepareDialog(QFileDialog& dialog, const FileDialogRequest& request) {
  dialog.setWindowTitle(request.title);
  dialog.setNameFilter(QtFilter(request.filter));
  dialog.setDefaultSuffix(request.defaultSuffix);
  dialog.setDirectory(request.initialFolder);
  if (!request.proposedName.isEmpty()) dialog.selectFile(request.proposedName);
  dialog.setOption(QFileDialog::ReadOnly, false);
  dialog.setSizeGripEnabled(true);
}

}  // namespace

QString ApplicationTitle() {
  return QStringLiteral("『Brivano』 V1.0");
}

std::optional<QString> QtUserDialogs::InputQuery(QWidget* owner, const QString& caption,
                                                 const QString& prompt, const QString& value) {
  QInputDialog dialog(owner);
  dialog.setWindowTitle(caption);
  dialog.setLabelText(prompt);
  dialog.setTextValue(value);
  dialog.setOkButtonText(QStringLiteral("确定"));
  dialog.setCancelButtonText(QStringLiteral("取消"));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.textValue();
}

void QtUserDialogs::Information(QWidget* owner, const QString& text) {
  QMessageBox box(QMessageBox::Information, QStringLiteral("信息"), text, QMessageBox::NoButton,
                  owner);
  box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
  Show(box);
}

void QtUserDialogs::Error(QWidget* owner, const QString& text) {
  QMessageBox box(QMessageBox::Critical, ApplicationTitle(), text, QMessageBox::NoButton, owner);
  box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
  Show(box);
}

void QtUserDialogs::Message(QWidget* owner, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, ApplicationTitle(), text, QMessageBox::NoButton, owner);
  box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
  Show(box);
}

bool QtUserDialogs::Ask(QWidget* owner, const QString& text) {
  QMessageBox box(QMessageBox::Question, ApplicationTitle(), text, QMessageBox::NoButton, owner);
  QPushButton* yes = box.addButton(QStringLiteral("是[&Y]"), QMessageBox::YesRole);
  box.addButton(QStringLiteral("否[&N]"), QMessageBox::NoRole);
  box.setDefaultButton(yes);
  Show(box);
  return box.clickedButton() == yes;
}

bool QtUserDialogs::ConfirmExit(QWidget* owner) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("确认"),
                  QStringLiteral("确认退出Brivano吗?"), QMessageBox::NoButton, owner);
  QPushButton* yes = box.addButton(QStringLiteral("是[&Y]"), QMessageBox::YesRole);
  QPushButton* no = box.addButton(QStringLiteral("否[&N]"), QMessageBox::NoRole);
  box.setDefaultButton(yes);
  Show(box);
  return box.clickedButton() != no;
}

std::optional<QString> QtUserDialogs::SaveFileName(QWidget* owner,
                                                   const FileDialogRequest& request) {
  QFileDialog dialog(owner);
  PrepareDialog(dialog, request);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  // A name typed without an extension gets the one of the type chosen.
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& name) {
    const qsizetype star = name.lastIndexOf(QStringLiteral("*."));
    const QString suffix =
        star < 0 ? QString() : name.mid(star + 2).section(QLatin1Char(')'), 0, 0);
    if (!suffix.isEmpty() && suffix != QLatin1String("*")) dialog.setDefaultSuffix(suffix);
  });
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().front();
}

QStringList QtUserDialogs::OpenFileNames(QWidget* owner, const FileDialogRequest& request) {
  QFileDialog dialog(owner);
  PrepareDialog(dialog, request);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFiles);
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.selectedFiles();
}

}  // namespace brivano
