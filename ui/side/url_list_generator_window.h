#pragma once
// The URL list generator window. Two commands write numbered page addresses into a text
// file (one counter, or two counters advancing together); the generation itself lives in
// tools/url_list_generator.h. The window keeps its field texts and count labels between
// showings; nothing of it is stored on disk.
#include <memory>
#include <optional>
#include <string>

#include <QString>

#include "ui/dialogs/dialogs.h"
#include "ui/side/side_look.h"

class QFrame;
class QLabel;
class QLineEdit;
class QToolButton;

namespace tolvarine {

class UrlListGeneratorWindow : public SideDialog {
  Q_OBJECT

 public:
  // dialogs: the save and error dialogs; null means the real Qt ones.
  explicit UrlListGeneratorWindow(QWidget* parent = nullptr,
                                  std::unique_ptr<Dialogs> dialogs = nullptr);
  ~UrlListGeneratorWindow() override;

  // The commands of the two buttons (one counter; two counters advancing together).
  // Failures are shown by the standard error dialog and never leave these functions.
  void GenerateOneCounterList();
  void GenerateTwoCounterList();

  // The file name the save dialog opens with next time (the one chosen last).
  QString LastFileName() const { return lastFileName_; }

 private:
  void BuildControls();
  void BuildOneCounterControls();
  void BuildTwoCounterControls();
  std::optional<QString> AskFileName();
  void ShowErrorText(const std::string& messageGbk);

  std::unique_ptr<Dialogs> dialogs_;
  QString lastFileName_;

  QFrame* separator_ = nullptr;
  QToolButton* oneCounterButton_ = nullptr;
  QToolButton* twoCounterButton_ = nullptr;
  QLabel* oneCounterTotalCaption_ = nullptr;
  QLabel* oneCounterCount_ = nullptr;
  QLabel* twoCounterCount_ = nullptr;  // shows "页面总数" until the first count
  QLineEdit* prefixField_ = nullptr;
  QLineEdit* startField_ = nullptr;
  QLineEdit* endField_ = nullptr;
  QLineEdit* suffixField_ = nullptr;
  QLineEdit* frontField_ = nullptr;
  QLineEdit* frontStartField_ = nullptr;
  QLineEdit* frontEndField_ = nullptr;
  QLineEdit* backField_ = nullptr;
  QLineEdit* middleField_ = nullptr;
  QLineEdit* middleStartField_ = nullptr;
  QLineEdit* middleEndField_ = nullptr;
  QLineEdit* stepField_ = nullptr;
};

}  // namespace tolvarine
