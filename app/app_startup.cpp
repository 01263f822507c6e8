// Set-up every Qt application of the program gets as it is created (the window and the
// harvest command alike): the version, the desktop entry's name, Qt's Chinese texts.
#include <QGuiApplication>

#include "app/qt_translations.h"
#include "tolvarine_version.h"

namespace {

void SetUpApplication() {
  QCoreApplication::setApplicationVersion(QStringLiteral(TOLVARINE_VERSION));
  QGuiApplication::setDesktopFileName(QStringLiteral("org.tolvarine.tolvarine"));
  tolvarine::InstallQtChineseTranslations(*QCoreApplication::instance(),
                                          tolvarine::QtTranslationsFolder());
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(SetUpApplication)
