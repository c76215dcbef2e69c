// Qt's own texts in Simplified Chinese: the buttons and labels of the file
// dialogs and message boxes ("取消", "查找范围"), the browser pane's menu, and
// sizes and dates as China writes them. The whole interface is Chinese, so
// they are Chinese whatever the locale the program was started in.
#pragma once

class QCoreApplication;

namespace brivano {

// Installs Qt's Simplified Chinese catalogues (Debian's
// qt6-translations-l10n) into `application` and makes zh_CN the default
// locale. False when a catalogue is missing; Qt's texts then stay English.
bool InstallChineseTranslations(QCoreApplication& application);

}  // namespace brivano
