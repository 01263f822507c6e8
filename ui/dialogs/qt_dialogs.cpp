#include "ui/dialogs/qt_dialogs.h"

#include <QAbstractItemView>
#include <QDialog>
#include <QEventLoop>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include "tolvarine_version.h"

namespace tolvarine {

const QString& ApplicationTitle() {
  static const QString title = QStringLiteral("『Tolvarine』V" TOLVARINE_VERSION);
  return title;
}

QStringList TextFileFilters() {
  // "*.*" alone would hide files without a dot on this platform, so the second entry
  // matches every file.
  return {QStringLiteral("Text files(*.txt)"), QStringLiteral("All files(*.*) (*)")};
}

namespace {

void ShowBox(QWidget* parent, QMessageBox::Icon icon, const QString& caption,
             const QString& text, const QString& button) {
  QMessageBox box(icon, caption, text, QMessageBox::NoButton, parent);
  box.addButton(button, QMessageBox::AcceptRole);
  box.exec();
}

// Sets up a file dialog from a request; the caller adds mode and options.
void Prepare(QFileDialog& dialog, const FileDialogRequest& request) {
  dialog.setWindowTitle(request.title);
  dialog.setNameFilters(request.filters);
  dialog.setDefaultSuffix(request.defaultSuffix);
  dialog.setOption(QFileDialog::ReadOnly, false);
  if (!request.directory.isEmpty()) dialog.setDirectory(request.directory);
  if (!request.selectedFile.isEmpty()) dialog.selectFile(request.selectedFile);
  dialog.setSizeGripEnabled(true);
}

}  // namespace

void QtDialogs::Information(QWidget* parent, const QString& text) {
  ShowBox(parent, QMessageBox::Information, QStringLiteral("信息"), text,
          QStringLiteral("确定"));
}

void QtDialogs::Plain(QWidget* parent, const QString& caption, const QString& text) {
  ShowBox(parent, QMessageBox::NoIcon, caption, text, QStringLiteral("确定"));
}

bool QtDialogs::Confirm(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("确认"), text, QMessageBox::NoButton,
                  parent);
  QPushButton* yes = box.addButton(QStringLiteral("是[&Y]"), QMessageBox::YesRole);
  QPushButton* no = box.addButton(QStringLiteral("否[&N]"), QMessageBox::NoRole);
  box.setDefaultButton(yes);
  box.setEscapeButton(no);
  box.exec();
  return box.clickedButton() == yes;
}

SaveChoice QtDialogs::AskSave(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("确认"), text, QMessageBox::NoButton,
                  parent);
  QPushButton* save = box.addButton(QStringLiteral("保存"), QMessageBox::AcceptRole);
  QPushButton* dontSave = box.addButton(QStringLiteral("不保存"), QMessageBox::DestructiveRole);
  QPushButton* cancel = box.addButton(QStringLiteral("取消"), QMessageBox::RejectRole);
  box.setDefaultButton(save);
  box.setEscapeButton(cancel);
  box.exec();
  if (box.clickedButton() == save) return SaveChoice::Save;
  if (box.clickedButton() == dontSave) return SaveChoice::DontSave;
  return SaveChoice::Cancel;
}

void QtDialogs::Error(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Critical, ApplicationTitle(), text, QMessageBox::Ok, parent);
  box.exec();
}

std::optional<QString> QtDialogs::Input(QWidget* parent, const QString& caption,
                                        const QString& prompt, const QString& initial) {
  QInputDialog dialog(parent);
  dialog.setWindowTitle(caption);
  dialog.setLabelText(prompt);
  dialog.setTextValue(initial);
  dialog.setOkButtonText(QStringLiteral("确定"));
  dialog.setCancelButtonText(QStringLiteral("取消"));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.textValue();
}

std::optional<QString> QtDialogs::OpenFile(QWidget* parent, const FileDialogRequest& request) {
  QFileDialog dialog(parent);
  Prepare(dialog, request);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  return dialog.selectedFiles().first();
}

std::optional<QStringList> QtDialogs::OpenFiles(QWidget* parent,
                                                const FileDialogRequest& request) {
  QFileDialog dialog(parent);
  Prepare(dialog, request);
  // A typed name need not exist: the caller opens each file and reports the one it cannot
  // open in its own words. Qt's mode for several files (and the desktop's own dialog)
  // refuses such a name, so the dialog takes any name and its two file views are made to
  // select several files.
  dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::AnyFile);
  for (const char* viewName : {"listView", "treeView"}) {
    if (auto* view = dialog.findChild<QAbstractItemView*>(QLatin1String(viewName)))
      view->setSelectionMode(QAbstractItemView::ExtendedSelection);
  }
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.selectedFiles();
}

std::optional<QString> QtDialogs::SaveFile(QWidget* parent, const FileDialogRequest& request) {
  QFileDialog dialog(parent);
  Prepare(dialog, request);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
  // Qt's own dialog adds the default suffix before it checks for an existing file, so a
  // name typed without ".txt" still asks before that file is replaced; a desktop's dialog
  // may check the name as typed and let the file be overwritten unasked.
  if (request.confirmOverwrite) dialog.setOption(QFileDialog::DontUseNativeDialog, true);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty() || files.first().isEmpty()) return std::nullopt;
  return files.first();
}

void QtDialogs::ShowModal(QWidget* window) {
  if (auto* dialog = qobject_cast<QDialog*>(window)) {
    dialog->exec();
    return;
  }
  // A plain window: show it application-modal and wait until it is hidden or destroyed.
  QPointer<QWidget> guard(window);
  const Qt::WindowModality before = window->windowModality();
  window->setWindowModality(Qt::ApplicationModal);
  window->show();
  QEventLoop loop;
  while (guard && guard->isVisible()) loop.processEvents(QEventLoop::WaitForMoreEvents);
  if (guard) guard->setWindowModality(before);
}

}  // namespace tolvarine
