#include "tests/support/recording_view.h"

#include <algorithm>

namespace tolvarine::testing {

void RecordingView::ShowSettings(const CrawlSettings& settings) { shownSettings = settings; }
void RecordingView::ShowTotal(int lines) { total = std::to_string(lines); }
void RecordingView::ShowPosition(int line) { position = std::to_string(line); }
void RecordingView::ShowLinksFound(int count) { linksFound = std::to_string(count); }
void RecordingView::ShowPhonesFound(int count) { phonesFound = std::to_string(count); }

void RecordingView::ClearCounts() {
  position.clear();
  linksFound.clear();
  phonesFound.clear();
}

void RecordingView::ShowMessage(const std::string& text) {
  message = text;
  messageLines.push_back(text);
}

void RecordingView::ShowCommandStates(const CommandStates& states) {
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

std::optional<std::string> RecordingView::AskResumeLine(const std::string& caption,
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
