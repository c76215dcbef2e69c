#include "app/tray_icon.h"

#include <QMenu>

#include "app/gbk_qt.h"

namespace brivano {

TrayIcon::TrayIcon(QObject* parent) : QObject(parent) {}

// The icon leaves the tray with the window.
TrayIcon::~TrayIcon() = default;

bool TrayIcon::Available() const {
  return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayIcon::Show(const QIcon& icon, const std::string& gbkHint, QMenu* menu) {
  hint_ = gbkHint.substr(0, kHintBytes);
  Present(icon, QStringFromGbk(hint_), menu);
  shown_ = true;
}

void TrayIcon::Hide() {
  if (!shown_) return;
  Withdraw();
  shown_ = false;
}

void TrayIcon::ShowMessage(const QString& title, const QString& text) {
  if (shown_) PresentMessage(title, text);
}

void TrayIcon::OnActivated(QSystemTrayIcon::ActivationReason reason) {
  if (reason == QSystemTrayIcon::Trigger) emit clicked();
}

void TrayIcon::Present(const QIcon& icon, const QString& tip, QMenu* menu) {
  if (!tray_) {
    tray_ = std::make_unique<QSystemTrayIcon>();
    connect(tray_.get(), &QSystemTrayIcon::activated, this, &TrayIcon::OnActivated);
  }
  tray_->setIcon(icon);
  tray_->setToolTip(tip);
  tray_->setContextMenu(menu);
  tray_->show();
}

void TrayIcon::Withdraw() {
  if (tray_) tray_->hide();
}

void TrayIcon::PresentMessage(const QString& title, const QString& text) {
  if (tray_) tray_->showMessage(title, text);
}

}  // namespace brivano
