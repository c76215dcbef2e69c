// What the main window remembers between starts in "brivano-window.ini"
// beside the settings: its size and place, and the folder each file dialog
// last used. A file that cannot be read or written costs only that memory,
// so neither is reported.
#pragma once

#include <QByteArray>
#include <QString>
#include <filesystem>

#include "files/window_state.h"

namespace brivano {

class WindowMemory {
 public:
  // `documentsFolder` is proposed to a dialog not used yet; empty means the
  // user's documents folder (their home folder where there is none).
  WindowMemory(std::filesystem::path folder, QString documentsFolder = {});

  // QWidget::saveGeometry()'s bytes; empty when none are known.
  QByteArray Geometry() const;
  void KeepGeometry(const QByteArray& geometry);

  // The folder to propose to `dialog`: the last one it used while that still
  // exists, else the documents folder.
  QString ProposedFolder(DialogFolder dialog) const;
  // `chosenFile`'s folder becomes the one `dialog` proposes next time.
  void Remember(DialogFolder dialog, const QString& chosenFile);

 private:
  void Write();

  std::filesystem::path folder_;
  QString documentsFolder_;
  WindowState state_;
};

}  // namespace brivano
