// Qt's own dialogs speak Chinese: the catalogs from the system's Qt translations folder.
#include "app/qt_translations.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

namespace tolvarine {
namespace {

TEST(QtTranslations, StandardDialogTextsComeInChinese) {
  int argc = 1;
  char name[] = "qt_translations_test";
  char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);

  testing::TempFolder empty;
  EXPECT_EQ(InstallQtChineseTranslations(app, QString::fromStdString(empty.Path())), 0);
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));

  ASSERT_EQ(InstallQtChineseTranslations(app, QtTranslationsFolder()), 2)
      << "Qt's catalogs (Debian package qt6-translations-l10n) in "
      << QtTranslationsFolder().toStdString();
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
  EXPECT_NE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Look in:"));
}

}  // namespace
}  // namespace tolvarine
