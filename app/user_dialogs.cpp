#include "app/user_dialogs.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace brivano {
namespace {

// "Text files(*.txt)|*.txt|All files(*.*)|*.*" as Qt writes filters:
// "Text files(*.txt) (*.txt);;All files(*.*) (*.*)".
QString QtFilter(const QString& filter) {
  const QStringList parts = filter.split(QLatin1Char('|'));
  QStringList entries;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    entries << parts[i] + QStringLiteral(" (") + parts[i + 1].split(QLatin1Char(';')).join(' ') +
                   QLatin1Char(')');
  }
  return entries.join(QStringLiteral(";;"));
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
  box.exec();
}

void QtUserDialogs::Error(QWidget* owner, const QString& text) {
  QMessageBox box(QMessageBox::Critical, ApplicationTitle(), text, QMessageBox::NoButton, owner);
  box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
  box.exec();
}

void QtUserDialogs::Message(QWidget* owner, const QString& text) {
  QMessageBox box(QMessageBox::NoIcon, ApplicationTitle(), text, QMessageBox::NoButton, owner);
  box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
  box.exec();
}

bool QtUserDialogs::Ask(QWidget* owner, const QString& text) {
  QMessageBox box(QMessageBox::Question, ApplicationTitle(), text, QMessageBox::NoButton, owner);
  QPushButton* yes = box.addButton(QStringLiteral("是[&Y]"), QMessageBox::YesRole);
  box.addButton(QStringLiteral("否[&N]"), QMessageBox::NoRole);
  box.setDefaultButton(yes);
  box.exec();
  return box.clickedButton() == yes;
}

bool QtUserDialogs::ConfirmExit(QWidget* owner) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("确认"),
                  QStringLiteral("确认退出Brivano吗?"), QMessageBox::NoButton, owner);
  QPushButton* yes = box.addButton(QStringLiteral("是[&Y]"), QMessageBox::YesRole);
  QPushButton* no = box.addButton(QStringLiteral("否[&N]"), QMessageBox::NoRole);
  box.setDefaultButton(yes);
  box.exec();
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
