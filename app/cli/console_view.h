#pragma once
// The crawl's view for the command line: options and speed come from the flags, rule lists
// from the state folder's list files, panels and messages go to standard error.
#include <array>
#include <map>
#include <optional>
#include <string>

#include "app/cli/progress_line.h"
#include "engine/crawl_view.h"

namespace tolvarine::cli {

class ConsoleView : public CrawlView {
 public:
  // listFile: the GBK name the list "dialog" answers with.
  explicit ConsoleView(std::string listFile);

  bool Option(CrawlOption option) override;
  void SetOption(CrawlOption option, bool ticked) override;
  std::string SpeedText() override { return speedText_; }
  void SetSpeed(int seconds) override;
  void SetSpeedText(std::string text) { speedText_ = std::move(text); }
  void SetListFileField(const std::string& name) override { listField_ = name; }
  std::string ListFileField() override { return listField_; }
  std::string RuleText(RuleList list) override;
  void SetRuleText(RuleList list, const std::string& text) override;

  void SetPanel(int index, const std::string& text) override;
  void SetCommandStates(const CommandStates&) override {}

  void ShowInformation(const std::string& text) override;
  void ShowPlainMessage(const std::string& text) override;
  void ShowError(const std::string& message) override;
  std::optional<std::string> AskText(const std::string&, const std::string&,
                                     const std::string&) override {
    return std::nullopt;
  }
  std::optional<std::string> ChooseListFile(const std::string&) override { return listFile_; }
  void Repaint() override {}
  void Pause(int milliseconds) override;

  // True once a message box or error was shown (the walk may not have started).
  bool Complained() const { return complained_; }

 private:
  void PrintProgress();

  std::string listFile_;
  std::string listField_;
  std::string speedText_ = "8";
  std::map<CrawlOption, bool> options_;
  std::map<RuleList, std::string> rules_;
  std::array<std::string, 9> panels_;
  bool complained_ = false;
  ProgressLine progress_{"page"};  // on a terminal, instead of a line per page
};

}  // namespace tolvarine::cli
