#pragma once
// A Dialogs that opens nothing: each kind of box and file dialog answers from a queue the
// test fills (an empty queue answers "cancel" / "no"), and everything shown is recorded.
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "ui/dialogs/dialogs.h"

namespace tolvarine::testing {

struct ShownDialog {
  QString kind;  // "information", "plain", "confirm", "ask-save", "error", "input", "open",
                 // "open-many", "save", "modal"
  QString caption;
  QString text;
  FileDialogRequest request;
  QWidget* window = nullptr;  // for "modal"
};

class FakeDialogs : public Dialogs {
 public:
  std::deque<bool> confirms;
  std::deque<SaveChoice> saveChoices;
  std::deque<std::optional<QString>> inputs;
  std::deque<std::optional<QString>> openFiles;
  std::deque<std::optional<QStringList>> openFileLists;
  std::deque<std::optional<QString>> saveFiles;
  // Runs while the next error dialog is "open" (then cleared).
  std::function<void()> whileErrorOpen;

  std::vector<ShownDialog> shown;
  std::vector<ShownDialog> Shown(const QString& kind) const;

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

}  // namespace tolvarine::testing
