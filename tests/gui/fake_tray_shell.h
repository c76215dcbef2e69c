// A notification area that writes down every request.
#pragma once

#include <QAction>
#include <QMenu>
#include <QStringList>
#include <stdexcept>

#include "app/tant_taskbar_icon.h"

namespace brivano::testing {

class FakeTrayShell : public TrayShell {
 public:
  bool available = true;
  bool throwOnRequest = false;
  QStringList
      log;  // "create", "add 0 7 tip", "modify ...", "delete ...", "destroy", "menu", "null"
  bool shown = false;
  QPoint cursor{100, 200};
  ShiftState keys;
  // Chosen when the menu opens (its text), or empty to close it unchosen.
  QString chooseInMenu;

  bool Available() const override { return available; }
  void CreateMessageWindow() override { log << QStringLiteral("create"); }
  void DestroyMessageWindow() override { log << QStringLiteral("destroy"); }
  bool NotifyIcon(TrayRequest request, const NotifyIconData& data) override {
    if (throwOnRequest) throw std::runtime_error("shell gone");
    static const char* names[] = {"add", "modify", "delete"};
    log << QStringLiteral("%1 %2 %3 %4")
               .arg(QLatin1String(names[static_cast<int>(request)]))
               .arg(data.iconId)
               .arg(data.flags)
               .arg(QString::fromLatin1(data.tip.c_str()));
    switch (request) {
      case TrayRequest::Add:
        if (shown) return false;
        shown = true;
        return true;
      case TrayRequest::Modify:
        return shown;
      case TrayRequest::Delete:
        if (!shown) return false;
        shown = false;
        return true;
    }
    return false;
  }
  QPoint CursorPos() const override { return cursor; }
  ShiftState KeyboardState() const override { return keys; }
  void SetForegroundWindow() override { log << QStringLiteral("foreground"); }
  void BringApplicationToFront() override { log << QStringLiteral("front"); }
  void PopupMenu(QMenu* menu, QPoint) override {
    log << QStringLiteral("menu");
    for (QAction* action : menu->actions()) {
      if (!chooseInMenu.isEmpty() && action->text() == chooseInMenu && action->isEnabled()) {
        action->trigger();
      }
    }
  }
  void PostNullMessage() override { log << QStringLiteral("null"); }
  void ShowBalloon(const QString& title, const QString& text) override {
    log << QStringLiteral("balloon:") + title + QLatin1Char('|') + text;
  }
};

}  // namespace brivano::testing
