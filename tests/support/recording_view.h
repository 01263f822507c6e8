#pragma once
// A CrawlView that holds the window's state as plain fields and records everything the
// crawl shows: panels, command states and messages in order. Answers of the input box and
// of the open dialog are queued by the test; an empty queue answers "cancelled".
#include <array>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "engine/crawl_view.h"

namespace tolvarine::testing {

enum class MessageKind { Information, Plain, Error };

struct ShownMessage {
  MessageKind kind;
  std::string text;
  bool operator==(const ShownMessage&) const = default;
};

struct AskedText {
  std::string caption, prompt, initial;
};

class RecordingView : public CrawlView {
 public:
  RecordingView();

  bool Option(CrawlOption option) override;
  void SetOption(CrawlOption option, bool ticked) override;
  std::string SpeedText() override;
  void SetSpeed(int seconds) override;
  void SetListFileField(const std::string& name) override;
  std::string ListFileField() override;
  std::string RuleText(RuleList list) override;
  void SetRuleText(RuleList list, const std::string& text) override;
  void SetPanel(int index, const std::string& text) override;
  void SetCommandStates(const CommandStates& states) override;
  void ShowInformation(const std::string& text) override;
  void ShowPlainMessage(const std::string& text) override;
  void ShowError(const std::string& message) override;
  std::optional<std::string> AskText(const std::string& caption, const std::string& prompt,
                                     const std::string& initial) override;
  std::optional<std::string> ChooseListFile(const std::string& initialFolder) override;
  void Repaint() override;
  void Pause(int milliseconds) override;

  // The window's state, free for the test to set and read.
  std::map<CrawlOption, bool> options;  // all unticked at first
  std::string speedText = "8";
  std::string listFileField;
  std::map<RuleList, std::string> rules;  // the main window's default lines
  std::array<std::string, 9> panels;
  CommandStates commands{true, true, true, true};

  // What the crawl did, in order.
  std::vector<std::pair<int, std::string>> panelWrites;
  std::vector<CommandStates> commandHistory;
  std::vector<ShownMessage> messages;
  std::vector<AskedText> asked;
  std::vector<std::string> chooseFolders;
  std::vector<int> pauses;
  int repaints = 0;

  std::deque<std::optional<std::string>> askAnswers;
  std::deque<std::optional<std::string>> chooseAnswers;
  // Runs during Pause (for example to advance the clock); nothing by default.
  std::function<void(int)> onPause;

  // Messages of one kind, in order.
  std::vector<std::string> Texts(MessageKind kind) const;
  bool Showed(MessageKind kind, const std::string& text) const;
};

}  // namespace tolvarine::testing
