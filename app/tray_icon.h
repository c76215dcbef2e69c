// The program's icon in the desktop's notification area: its picture, its
// tip (the desktop keeps 63 bytes of it), its menu, a click that brings the
// window back, and short messages. A thin layer over QSystemTrayIcon; what
// touches the desktop is virtual so that tests can stand in for it.
#pragma once

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <memory>
#include <string>

class QMenu;

namespace brivano {

class TrayIcon : public QObject {
  Q_OBJECT

 public:
  static constexpr std::size_t kHintBytes = 63;

  explicit TrayIcon(QObject* parent = nullptr);
  ~TrayIcon() override;

  // Whether the desktop has a notification area at all.
  virtual bool Available() const;

  void Show(const QIcon& icon, const std::string& gbkHint, QMenu* menu);
  void Hide();
  bool Shown() const { return shown_; }
  const std::string& Hint() const { return hint_; }
  // A short message beside the icon, while it is shown.
  void ShowMessage(const QString& title, const QString& text);

  // What the desktop reports of the user's clicks on the icon.
  void OnActivated(QSystemTrayIcon::ActivationReason reason);

 signals:
  // A click: the desktop reports the first click of a double click as a
  // click too, so a double click brings the window back once.
  void clicked();

 protected:
  virtual void Present(const QIcon& icon, const QString& tip, QMenu* menu);
  virtual void Withdraw();
  virtual void PresentMessage(const QString& title, const QString& text);

 private:
  std::unique_ptr<QSystemTrayIcon> tray_;
  std::string hint_;
  bool shown_ = false;
};

}  // namespace brivano
