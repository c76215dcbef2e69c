#include "app/qt_tray_shell.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QWidget>

#include "app/gbk_qt.h"

namespace brivano {

bool QtTrayShell::Available() const {
  return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTrayShell::CreateMessageWindow() {
  tray_ = std::make_unique<QSystemTrayIcon>();
  QObject::connect(tray_.get(), &QSystemTrayIcon::activated, tray_.get(),
                   [this](QSystemTrayIcon::ActivationReason reason) {
                     // The desktop reports whole clicks; the icon expects the
                     // button messages they are made of.
                     switch (reason) {
                       case QSystemTrayIcon::Trigger:
                         Deliver(kWmLButtonDown);
                         Deliver(kWmLButtonUp);
                         break;
                       case QSystemTrayIcon::DoubleClick:
                         Deliver(kWmLButtonDblClk);
                         Deliver(kWmLButtonUp);
                         break;
                       case QSystemTrayIcon::Context:
                         Deliver(kWmRButtonDown);
                         Deliver(kWmRButtonUp);
                         break;
                       default:
                         break;
                     }
                   });
}

void QtTrayShell::DestroyMessageWindow() {
  tray_.reset();
}

void QtTrayShell::Deliver(std::uintptr_t action) {
  if (receiver_) receiver_(kTrayCallbackMessage, 0, action);
}

bool QtTrayShell::NotifyIcon(TrayRequest request, const NotifyIconData& data) {
  if (!tray_) return false;
  switch (request) {
    case TrayRequest::Add:
      if (tray_->isVisible()) return false;
      tray_->setIcon(data.icon);
      tray_->setToolTip(QStringFromGbk(data.tip));
      tray_->show();
      return true;
    case TrayRequest::Modify:
      if (!tray_->isVisible()) return false;  // nothing to modify before an add
      tray_->setIcon(data.icon);
      tray_->setToolTip(QStringFromGbk(data.tip));
      return true;
    case TrayRequest::Delete:
      if (!tray_->isVisible()) return false;
      tray_->hide();
      return true;
  }
  return false;
}

QPoint QtTrayShell::CursorPos() const {
  return QCursor::pos();
}

ShiftState QtTrayShell::KeyboardState() const {
  const Qt::KeyboardModifiers modifiers = QGuiApplication::queryKeyboardModifiers();
  ShiftState state;
  state.shift = modifiers.testFlag(Qt::ShiftModifier);
  state.alt = modifiers.testFlag(Qt::AltModifier);
  state.ctrl = modifiers.testFlag(Qt::ControlModifier);
  return state;
}

void QtTrayShell::BringApplicationToFront() {
  if (applicationWindow_ && applicationWindow_->isVisible()) applicationWindow_->activateWindow();
}

void QtTrayShell::PopupMenu(QMenu* menu, QPoint position) {
  menu->exec(position);
}

void QtTrayShell::ShowBalloon(const QString& title, const QString& text) {
  if (tray_ && tray_->isVisible()) tray_->showMessage(title, text);
}

}  // namespace brivano
