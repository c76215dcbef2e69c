// A notification area that logs what the window asks of it.
#pragma once

#include <QStringList>

#include "app/tray_icon.h"

namespace brivano::testing {

class FakeTrayIcon : public TrayIcon {
 public:
  bool available = true;
  QStringList log;

  bool Available() const override { return available; }

 protected:
  void Present(const QIcon&, const QString& tip, QMenu*) override { log << "show:" + tip; }
  void Withdraw() override { log << QStringLiteral("hide"); }
  void PresentMessage(const QString& title, const QString& text) override {
    log << QStringLiteral("message:") + title + QLatin1Char('|') + text;
  }
};

}  // namespace brivano::testing
