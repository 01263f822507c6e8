// The real save dialog behind the generator window's seam, driven from inside its loop.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>

#include "ui/side/generator_dialogs.h"

namespace tolvarine {
namespace {

QFileDialog* OpenFileDialog() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* d = qobject_cast<QFileDialog*>(w); d && d->isVisible()) return d;
  }
  return nullptr;
}

TEST(QtGeneratorDialogsTest, SaveDialogAddsTheDefaultSuffixToATypedName) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  SaveDialogSetup setup{QStringLiteral("BBS页面地址列表"),
                        {QStringLiteral("Text files (*.txt)"), QStringLiteral("All files (*.*)")},
                        QStringLiteral("txt"), dir.filePath(QStringLiteral("last.txt"))};
  QString title;
  QString shownName;
  QTimer::singleShot(0, [&] {
    QFileDialog* dialog = OpenFileDialog();
    if (dialog == nullptr) return;  // the dialog never opened: the test fails below
    title = dialog->windowTitle();
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (name != nullptr) {
      shownName = name->text();
      name->setText(QStringLiteral("pages"));
    }
    QMetaObject::invokeMethod(dialog, "accept");
  });
  QtGeneratorDialogs dialogs;
  const std::optional<QString> chosen = dialogs.ChooseSaveFile(nullptr, setup);
  EXPECT_EQ(title, QStringLiteral("BBS页面地址列表"));
  EXPECT_EQ(shownName, QStringLiteral("last.txt"));
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, dir.filePath(QStringLiteral("pages.txt")));
}

}  // namespace
}  // namespace tolvarine
