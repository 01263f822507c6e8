#include "tests/support/recording_view.h"

#include <algorithm>

namespace tolvarine::testing {

RecordingView::RecordingView() {
  rules[RuleList::Prefixes] = "13\r\n15\r\n18";
  rules[RuleList::MustContain] = "http://\r\n.";
  rules[RuleList::MustNotContain] = "$\r\n#";
}

bool RecordingView::Option(CrawlOption option) { return options[option]; }
void RecordingView::SetOption(CrawlOption option, bool ticked) { options[option] = ticked; }
std::string RecordingView::SpeedText() { return speedText; }
void RecordingView::SetSpeed(int seconds) { speedText = std::to_string(seconds); }
void RecordingView::SetListFileField(const std::string& name) { listFileField = name; }
std::string RecordingView::ListFileField() { return listFileField; }
std::string RecordingView::RuleText(RuleList list) { return rules[list]; }
void RecordingView::SetRuleText(RuleList list, const std::string& text) { rules[list] = text; }

void RecordingView::SetPanel(int index, const std::string& text) {
  panels.at(static_cast<std::size_t>(index)) = text;
  panelWrites.emplace_back(index, text);
}

void RecordingView::SetCommandStates(const CommandStates& states) {
  commands = states;
  commandHistory.push_back(states);
}

void RecordingView::ShowInformation(const std::string& text) {
  messages.push_back({MessageKind::Information, text});
}
void RecordingView::ShowPlainMessage(const std::string& text) {
  messages.push_back({MessageKind::Plain, text});
}
void RecordingView::ShowError(const std::string& message) {
  messages.push_back({MessageKind::Error, message});
}

std::optional<std::string> RecordingView::AskText(const std::string& caption,
                                                  const std::string& prompt,
                                                  const std::string& initial) {
  asked.push_back({caption, prompt, initial});
  if (askAnswers.empty()) return std::nullopt;
  std::optional<std::string> answer = askAnswers.front();
  askAnswers.pop_front();
  return answer;
}

std::optional<std::string> RecordingView::ChooseListFile(const std::string& initialFolder) {
  chooseFolders.push_back(initialFolder);
  if (chooseAnswers.empty()) return std::nullopt;
  std::optional<std::string> answer = chooseAnswers.front();
  chooseAnswers.pop_front();
  return answer;
}

void RecordingView::Repaint() { ++repaints; }

void RecordingView::Pause(int milliseconds) {
  pauses.push_back(milliseconds);
  if (onPause) onPause(milliseconds);
}

std::vector<std::string> RecordingView::Texts(MessageKind kind) const {
  std::vector<std::string> texts;
  for (const ShownMessage& m : messages)
    if (m.kind == kind) texts.push_back(m.text);
  return texts;
}

bool RecordingView::Showed(MessageKind kind, const std::string& text) const {
  return std::find(messages.begin(), messages.end(), ShownMessage{kind, text}) != messages.end();
}

}  // namespace tolvarine::testing
