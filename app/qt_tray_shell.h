// The notification area of the desktop through QSystemTrayIcon. The tray's
// activations come back as the mouse messages the icon component expects.
#pragma once

#include <QSystemTrayIcon>
#include <functional>
#include <memory>

#include "app/tant_taskbar_icon.h"

namespace brivano {

class QtTrayShell : public TrayShell {
 public:
  using Receiver = std::function<void(std::uint32_t message, std::uintptr_t, std::uintptr_t)>;
  void SetReceiver(Receiver receiver) { receiver_ = std::move(receiver); }
  // The window brought to the front after a mouse-up on the icon.
  void SetApplicationWindow(QWidget* window) { applicationWindow_ = window; }

  bool Available() const override;
  void CreateMessageWindow() override;
  void DestroyMessageWindow() override;
  bool NotifyIcon(TrayRequest request, const NotifyIconData& data) override;
  QPoint CursorPos() const override;
  ShiftState KeyboardState() const override;
  void SetForegroundWindow() override {}
  void BringApplicationToFront() override;
  void PopupMenu(QMenu* menu, QPoint position) override;
  void PostNullMessage() override {}
  void ShowBalloon(const QString& title, const QString& text) override;

 private:
  void Deliver(std::uintptr_t action);

  std::unique_ptr<QSystemTrayIcon> tray_;
  Receiver receiver_;
  QWidget* applicationWindow_ = nullptr;
};

}  // namespace brivano
