#include "ui/side/generator_dialogs.h"

#include <QFileDialog>

#include "ui/side/error_dialog.h"

namespace tolvarine {

std::optional<QString> QtGeneratorDialogs::ChooseSaveFile(QWidget* parent,
                                                    const SaveDialogSetup& setup) {
  QFileDialog dialog(parent, setup.title);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(setup.nameFilters);
  dialog.setDefaultSuffix(setup.defaultSuffix);
  dialog.setSizeGripEnabled(true);
  // Qt's own dialog adds the default suffix before it checks for an existing file, so a
  // name typed without ".txt" still asks before an existing file is replaced. Overwrite
  // confirmation is on by default (no DontConfirmOverwrite).
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  if (!setup.fileName.isEmpty()) dialog.selectFile(setup.fileName);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty() || files.first().isEmpty()) return std::nullopt;
  return files.first();
}

void QtGeneratorDialogs::ShowError(QWidget* parent, const QString& text) {
  ShowStandardErrorBox(parent, text);
}

}  // namespace tolvarine
