#pragma once
// A CrawlView that records everything the crawl shows: the counters, the message line,
// command states, settings shown and message boxes, in order. Answers of the input box
// and of the open dialog are queued by the test; an empty queue answers "cancelled".
#include <deque>
#include <functional>
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

  void ShowSettings(const CrawlSettings& settings) override;
  void ShowTotal(int lines) override;
  void ShowPosition(int line) override;
  void ShowLinksFound(int count) override;
  void ShowPhonesFound(int count) override;
  void ClearCounts() override;
  void ShowQueued(long long addresses) override { queued.push_back(addresses); }
  void ShowMessage(const std::string& text) override;
  void ShowCommandStates(const CommandStates& states) override;
  void ShowInformation(const std::string& text) override;
  void ShowPlainMessage(const std::string& text) override;
  void ShowError(const std::string& message) override;
  std::optional<std::string> AskResumeLine(const std::string& caption,
                                           const std::string& prompt,
                                           const std::string& initial) override;
  std::optional<std::string> ChooseListFile(const std::string& initialFolder) override;
  void Repaint() override;
  void Pause(int milliseconds) override;

  // What is shown now; a blanked counter is empty.
  std::string total, position, linksFound, phonesFound, message;
  CommandStates commands{true, true, true, true};
  std::optional<CrawlSettings> shownSettings;

  // What the crawl did, in order.
  // Message lines, in order.
  std::vector<std::string> messageLines;
  std::vector<CommandStates> commandHistory;
  std::vector<ShownMessage> messages;
  std::vector<AskedText> asked;
  std::vector<std::string> chooseFolders;
  std::vector<int> pauses;
  int repaints = 0;
  std::vector<long long> queued;  // each ShowQueued, in order

  std::deque<std::optional<std::string>> askAnswers;
  std::deque<std::optional<std::string>> chooseAnswers;
  // Runs during Pause (for example to advance the clock); nothing by default.
  std::function<void(int)> onPause;

  // Messages of one kind, in order.
  std::vector<std::string> Texts(MessageKind kind) const;
  bool Showed(MessageKind kind, const std::string& text) const;
};

}  // namespace tolvarine::testing
