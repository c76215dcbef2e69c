// Every modal box and file dialog of the window goes through this seam, so
// that tests can answer them in advance and never wait on a person.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace brivano {

struct FileDialogRequest {
  QString title;
  QString filter;         // "文本文件|*.txt|所有文件|*": descriptions and patterns by turns
  QString defaultSuffix;  // "txt"
  QString initialFolder;
  QString proposedName;
};

class UserDialogs {
 public:
  virtual ~UserDialogs() = default;
  virtual std::optional<QString> InputQuery(QWidget* owner, const QString& caption,
                                            const QString& prompt, const QString& value) = 0;
  virtual void Information(QWidget* owner, const QString& text) = 0;  // caption "信息"
  virtual void Error(QWidget* owner, const QString& text) = 0;        // the standard error box
  virtual void Message(QWidget* owner, const QString& text) = 0;      // plain, the title as caption
  // "确认退出Brivano吗?": true for 是.
  virtual bool ConfirmExit(QWidget* owner) = 0;
  // A question answered 是 or 否: true for 是.
  virtual bool Ask(QWidget* owner, const QString& text) = 0;
  virtual std::optional<QString> SaveFileName(QWidget* owner, const FileDialogRequest& request) = 0;
  virtual QStringList OpenFileNames(QWidget* owner, const FileDialogRequest& request) = 0;
};

// The real boxes and dialogs.
class QtUserDialogs : public UserDialogs {
 public:
  std::optional<QString> InputQuery(QWidget* owner, const QString& caption, const QString& prompt,
                                    const QString& value) override;
  void Information(QWidget* owner, const QString& text) override;
  void Error(QWidget* owner, const QString& text) override;
  void Message(QWidget* owner, const QString& text) override;
  bool Ask(QWidget* owner, const QString& text) override;
  bool ConfirmExit(QWidget* owner) override;
  std::optional<QString> SaveFileName(QWidget* owner, const FileDialogRequest& request) override;
  QStringList OpenFileNames(QWidget* owner, const FileDialogRequest& request) override;
};

// The application's title, the caption of plain message boxes.
QString ApplicationTitle();

}  // namespace brivano
