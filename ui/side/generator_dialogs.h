#pragma once
// The dialogs the URL list generator window opens, behind a seam so tests can script them.
#include <optional>

#include <QString>
#include <QStringList>

class QWidget;

namespace tolvarine {

// How the save dialog is set up for one showing.
struct SaveDialogSetup {
  QString title;
  QStringList nameFilters;   // Qt filter strings, first one selected
  QString defaultSuffix;     // added to a name typed without one
  QString fileName;          // name shown when it opens (the one chosen last)
};

class GeneratorDialogs {
 public:
  virtual ~GeneratorDialogs() = default;
  // Modal save dialog with overwrite confirmation; the chosen file-system path, or nullopt
  // when the user cancels.
  virtual std::optional<QString> ChooseSaveFile(QWidget* parent, const SaveDialogSetup& setup) = 0;
  // The standard error dialog: application title as caption, error icon, OK button.
  // The text is shown as given (the full-stop rule is applied by the caller).
  virtual void ShowError(QWidget* parent, const QString& text) = 0;
};

// The real dialogs: QFileDialog and QMessageBox.
class QtGeneratorDialogs : public GeneratorDialogs {
 public:
  std::optional<QString> ChooseSaveFile(QWidget* parent, const SaveDialogSetup& setup) override;
  void ShowError(QWidget* parent, const QString& text) override;
};

}  // namespace tolvarine
