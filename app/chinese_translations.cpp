#include "app/chinese_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace brivano {

bool InstallChineseTranslations(QCoreApplication& application) {
  const QLocale chinese(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China);
  QLocale::setDefault(chinese);
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  bool all = true;
  for (const char* catalogue : {"qtbase", "qtwebengine"}) {
    auto* translator = new QTranslator(&application);
    if (translator->load(chinese, QString::fromLatin1(catalogue), QStringLiteral("_"), folder) &&
        QCoreApplication::installTranslator(translator)) {
      continue;
    }
    delete translator;
    all = false;
  }
  return all;
}

}  // namespace brivano
