#include "app/qt_translations.h"

#include <QLibraryInfo>
#include <QTranslator>

namespace tolvarine {

int InstallQtChineseTranslations(QCoreApplication& app, const QString& folder) {
  int installed = 0;
  for (const char* catalog : {"qtbase_zh_CN", "qtwebengine_zh_CN"}) {
    auto* translator = new QTranslator(&app);
    if (translator->load(QString::fromLatin1(catalog), folder) &&
        QCoreApplication::installTranslator(translator)) {
      ++installed;
    } else {
      delete translator;
    }
  }
  return installed;
}

QString QtTranslationsFolder() { return QLibraryInfo::path(QLibraryInfo::TranslationsPath); }

}  // namespace tolvarine
