#pragma once
// Qt's own texts (the file dialog, the message box buttons, the browser's context menu) in
// Chinese, as the rest of the program speaks, whatever the system locale says.
#include <QCoreApplication>
#include <QString>

namespace tolvarine {

// Installs Qt's Simplified Chinese catalogs from the given folder into the application.
// Returns how many were found and installed; a missing catalog leaves those texts English.
int InstallQtChineseTranslations(QCoreApplication& app, const QString& folder);

// The folder Qt's own catalogs are installed in (Debian: /usr/share/qt6/translations).
QString QtTranslationsFolder();

}  // namespace tolvarine
