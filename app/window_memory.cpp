#include "app/window_memory.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace brivano {
namespace {

QString DesktopDocumentsFolder() {
  const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

}  // namespace

WindowMemory::WindowMemory(std::filesystem::path folder, QString documentsFolder)
    : folder_(std::move(folder)),
      documentsFolder_(documentsFolder.isEmpty() ? DesktopDocumentsFolder()
                                                 : std::move(documentsFolder)),
      state_(ReadWindowState(folder_)) {}

QByteArray WindowMemory::Geometry() const {
  return QByteArray::fromBase64(QByteArray::fromStdString(state_.geometry));
}

void WindowMemory::KeepGeometry(const QByteArray& geometry) {
  const std::string text = geometry.toBase64().toStdString();
  if (text == state_.geometry) return;
  state_.geometry = text;
  Write();
}

QString WindowMemory::ProposedFolder(DialogFolder dialog) const {
  const QString last = QString::fromStdString(state_.Folder(dialog));
  return !last.isEmpty() && QFileInfo(last).isDir() ? last : documentsFolder_;
}

void WindowMemory::Remember(DialogFolder dialog, const QString& chosenFile) {
  const std::string folder = QFileInfo(chosenFile).absolutePath().toStdString();
  if (folder == state_.Folder(dialog)) return;
  state_.Folder(dialog) = folder;
  Write();
}

void WindowMemory::Write() {
  (void)WriteWindowState(folder_, state_);
}

}  // namespace brivano
