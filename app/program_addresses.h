// The program's addresses on the web, shown and opened from the main window,
// the tray menu and the about box.
#pragma once

#include <QString>

namespace brivano {

inline const QString kHomePage = QStringLiteral("https://brivano.example/");
inline const QString kContactMail = QStringLiteral("mailto:support@brivano.example");
inline const QString kMakerLine = QStringLiteral("support@brivano.example");

}  // namespace brivano
