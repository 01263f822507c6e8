#pragma once
// Scripted dialogs for the generator window: the save dialog gives the next queued answer
// (nullopt = the user cancels) and records how it was set up; error boxes are recorded.
#include <deque>
#include <optional>
#include <vector>

#include "ui/side/generator_dialogs.h"

namespace tolvarine::testing {

class FakeGeneratorDialogs : public GeneratorDialogs {
 public:
  std::deque<std::optional<QString>> answers;
  std::vector<SaveDialogSetup> shown;
  std::vector<QString> errors;

  std::optional<QString> ChooseSaveFile(QWidget*, const SaveDialogSetup& setup) override {
    shown.push_back(setup);
    if (answers.empty()) return std::nullopt;
    std::optional<QString> next = answers.front();
    answers.pop_front();
    return next;
  }
  void ShowError(QWidget*, const QString& text) override { errors.push_back(text); }
};

}  // namespace tolvarine::testing
