#pragma once
// The narrow interface through which the crawl reaches its owner: the main window, the
// console runner, or a recording fake in tests. All texts are GBK.
#include <optional>
#include <string>

namespace tolvarine {

enum class CrawlOption { Dedup, Autosave, SearchLinks, SearchPhones, LinkFilter, OnlySite };

// The editable lists of the main window (one rule per line).
enum class RuleList { Prefixes, MustContain, MustNotContain };

// The four crawl commands' enabled states, in tool-bar order.
struct CommandStates {
  bool chooseList, search, stop, resume;
  bool operator==(const CommandStates&) const = default;
};
inline constexpr CommandStates kRunningStates{false, false, true, false};
inline constexpr CommandStates kIdleStates{true, true, false, true};

class CrawlView {
 public:
  virtual ~CrawlView() = default;

  // Options, read at the moment they are used; written when the progress file is read.
  virtual bool Option(CrawlOption option) = 0;
  virtual void SetOption(CrawlOption option, bool ticked) = 0;
  // The speed field's text as typed (see ReadSpeed for how it counts).
  virtual std::string SpeedText() = 0;
  virtual void SetSpeed(int seconds) = 0;
  // The read-only "网址文件：" field.
  virtual void SetListFileField(const std::string& name) = 0;
  virtual std::string ListFileField() = 0;
  // A rule field's whole text, lines separated by CR LF.
  virtual std::string RuleText(RuleList list) = 0;
  virtual void SetRuleText(RuleList list, const std::string& text) = 0;

  // Status bar panel 0..8.
  virtual void SetPanel(int index, const std::string& text) = 0;
  virtual void SetCommandStates(const CommandStates& states) = 0;

  virtual void ShowInformation(const std::string& text) = 0;   // caption "信息"
  virtual void ShowPlainMessage(const std::string& text) = 0;  // caption: application title
  // The standard error dialog; the text rule (full stop) is applied by the view.
  virtual void ShowError(const std::string& message) = 0;
  // The input box; nullopt when cancelled.
  virtual std::optional<std::string> AskText(const std::string& caption,
                                             const std::string& prompt,
                                             const std::string& initial) = 0;
  // The open dialog for the URL list; nullopt when cancelled. Returns the GBK file name.
  virtual std::optional<std::string> ChooseListFile(const std::string& initialFolder) = 0;
  virtual void Repaint() = 0;
  // Pauses the user-interface thread (events keep being delivered where the platform does).
  virtual void Pause(int milliseconds) = 0;
};

// The speed as counted wherever it is read: text that is not a number counts as 1; values
// outside 1..60 go to the nearer bound.
int ReadSpeed(const std::string& text);

}  // namespace tolvarine
