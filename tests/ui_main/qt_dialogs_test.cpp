// The real file dialogs, driven from inside their loops.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "tests/support/temp_folder.h"
#include "ui/dialogs/qt_dialogs.h"

namespace tolvarine::testing {
namespace {

template <typename T>
T* VisibleTopLevel() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* found = qobject_cast<T*>(w); found && found->isVisible()) return found;
  }
  return nullptr;
}

// Types a name into the open dialog and presses its Open button; notes whether the button
// could be pressed and whether a warning box of the toolkit's own came up (and closes it).
struct TypedAnswer {
  bool openEnabled = false;
  bool warned = false;
};

std::optional<QStringList> OpenFilesTyping(const QString& folder, const QString& typed,
                                           TypedAnswer& answer) {
  QTimer::singleShot(0, [&] {
    QFileDialog* dialog = VisibleTopLevel<QFileDialog>();
    if (dialog == nullptr) return;  // never opened: the caller's checks fail
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    auto* buttons = dialog->findChild<QDialogButtonBox*>();
    if (name == nullptr || buttons == nullptr) return dialog->reject();
    name->setText(typed);
    QPushButton* open = buttons->button(QDialogButtonBox::Open);
    answer.openEnabled = open != nullptr && open->isEnabled();
    QTimer::singleShot(0, [&] {
      if (auto* box = VisibleTopLevel<QMessageBox>()) {
        answer.warned = true;
        box->reject();
      }
    });
    if (answer.openEnabled) open->click();
    if (dialog->isVisible()) dialog->reject();
  });
  FileDialogRequest request;
  request.title = QStringLiteral("选择一个或多个待合并去重的文件");
  request.filters = TextFileFilters();
  request.directory = folder;
  return QtDialogs().OpenFiles(nullptr, request);
}

TEST(QtDialogsTest, OpenFilesTakesTypedNamesWhetherOrNotTheFilesExist) {
  TempFolder folder;
  // The dialog shows the folder without the trailing "/".
  const QString path = QString::fromStdString(folder.Path()).chopped(1);
  TypedAnswer missing;
  const auto chosen = OpenFilesTyping(path, QStringLiteral("missing.txt"), missing);
  EXPECT_TRUE(missing.openEnabled);
  EXPECT_FALSE(missing.warned);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, QStringList{path + QStringLiteral("/missing.txt")});

  folder.Write("a.txt", "a");
  folder.Write("b.txt", "b");
  TypedAnswer two;
  const auto both = OpenFilesTyping(path, QStringLiteral("\"a.txt\" \"b.txt\""), two);
  ASSERT_TRUE(both.has_value());
  EXPECT_EQ(*both, (QStringList{path + QStringLiteral("/a.txt"), path + QStringLiteral("/b.txt")}));
}

TEST(QtDialogsTest, SaveFileAddsTheDefaultSuffixToATypedName) {
  TempFolder folder;
  const QString path = QString::fromStdString(folder.Path()).chopped(1);
  FileDialogRequest request;
  request.title = QStringLiteral("BBS页面地址列表");
  request.filters = {QStringLiteral("Text files (*.txt)"), QStringLiteral("All files (*.*)")};
  request.defaultSuffix = QStringLiteral("txt");
  request.selectedFile = path + QStringLiteral("/last.txt");
  request.confirmOverwrite = true;
  QString title;
  QString shownName;
  QTimer::singleShot(0, [&] {
    QFileDialog* dialog = VisibleTopLevel<QFileDialog>();
    if (dialog == nullptr) return;  // the dialog never opened: the test fails below
    title = dialog->windowTitle();
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (name != nullptr) {
      shownName = name->text();
      name->setText(QStringLiteral("pages"));
    }
    QMetaObject::invokeMethod(dialog, "accept");
  });
  const std::optional<QString> chosen = QtDialogs().SaveFile(nullptr, request);
  EXPECT_EQ(title, QStringLiteral("BBS页面地址列表"));
  EXPECT_EQ(shownName, QStringLiteral("last.txt"));
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(*chosen, path + QStringLiteral("/pages.txt"));
}

}  // namespace
}  // namespace tolvarine::testing
