#pragma once
// TbbsForm: the URL list generator window. Two commands write numbered page addresses
// into a text file (one counter, or two counters advancing together); the generation
// itself lives in tools/url_list_generator.h. The window keeps its field texts and count
// labels between showings; nothing of it is stored on disk.
#include <memory>
#include <optional>
#include <string>

#include <QDialog>
#include <QString>

#include "ui/side/bbs_dialogs.h"

class QFrame;
class QLabel;
class QLineEdit;
class QToolButton;

namespace tolvarine {

class TbbsForm : public QDialog {
  Q_OBJECT

 public:
  // dialogs: the save and error dialogs; null means the real Qt ones.
  explicit TbbsForm(QWidget* parent = nullptr, std::unique_ptr<BbsDialogs> dialogs = nullptr);
  ~TbbsForm() override;

  // The commands of SpeedButton1 (one counter) and SpeedButton2 (two counters). Failures
  // are shown by the standard error dialog and never leave these functions.
  void SpeedButton1Click();
  void SpeedButton2Click();

  // The file name the save dialog opens with next time (the one chosen last).
  QString LastFileName() const { return lastFileName_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void BuildControls();
  std::optional<QString> AskFileName();
  void ShowErrorText(const std::string& messageGbk);

  std::unique_ptr<BbsDialogs> dialogs_;
  QString lastFileName_;

  QFrame* Bevel1 = nullptr;
  QToolButton* SpeedButton1 = nullptr;
  QToolButton* SpeedButton2 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label7 = nullptr;
  QLineEdit* Edit1 = nullptr;
  QLineEdit* Edit2 = nullptr;
  QLineEdit* Edit3 = nullptr;
  QLineEdit* Edit4 = nullptr;
  QLineEdit* Edit5 = nullptr;
  QLineEdit* Edit6 = nullptr;
  QLineEdit* Edit7 = nullptr;
  QLineEdit* Edit8 = nullptr;
  QLineEdit* Edit9 = nullptr;
  QLineEdit* Edit10 = nullptr;
  QLineEdit* Edit11 = nullptr;
  QLineEdit* Edit12 = nullptr;
};

}  // namespace tolvarine
