#pragma once
// The real boxes and file dialogs, with the captions and button texts the program uses.
#include "ui/dialogs/dialogs.h"

namespace tolvarine {

class QtDialogs : public Dialogs {
 public:
  void Information(QWidget* parent, const QString& text) override;
  void Plain(QWidget* parent, const QString& caption, const QString& text) override;
  bool Confirm(QWidget* parent, const QString& text) override;
  SaveChoice AskSave(QWidget* parent, const QString& text) override;
  void Error(QWidget* parent, const QString& text) override;
  std::optional<QString> Input(QWidget* parent, const QString& caption, const QString& prompt,
                               const QString& initial) override;
  std::optional<QString> OpenFile(QWidget* parent, const FileDialogRequest& request) override;
  std::optional<QStringList> OpenFiles(QWidget* parent,
                                       const FileDialogRequest& request) override;
  std::optional<QString> SaveFile(QWidget* parent, const FileDialogRequest& request) override;
  void ShowModal(QWidget* window) override;
};

}  // namespace tolvarine
