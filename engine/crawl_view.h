#pragma once
// The narrow, output-only interface through which the crawl reaches its owner: the main
// window, the command line, or a recording fake in tests. All texts are GBK.
#include <optional>
#include <string>

#include "engine/crawl_settings.h"

namespace tolvarine {

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

  // The settings changed under the owner's feet (read from the state files, or a list file
  // chosen): show them.
  virtual void ShowSettings(const CrawlSettings& settings) = 0;

  // The counters of the walk.
  virtual void ShowTotal(int lines) = 0;
  virtual void ShowPosition(int line) = 0;
  virtual void ShowLinksFound(int count) = 0;
  virtual void ShowPhonesFound(int count) = 0;
  // With links followed, before each new position: the addresses waiting in the crawl's
  // queue, the one about to load left out.
  virtual void ShowQueued(long long /*addresses*/) {}
  // Blanks position, links found and phones found as a walk begins.
  virtual void ClearCounts() = 0;
  // The message line ("正在搜索...", "搜索已经结束!", ...).
  virtual void ShowMessage(const std::string& text) = 0;
  virtual void ShowCommandStates(const CommandStates& states) = 0;

  virtual void ShowInformation(const std::string& text) = 0;   // caption "信息"
  virtual void ShowPlainMessage(const std::string& text) = 0;  // caption: application title
  // The standard error dialog; the text rule (full stop) is applied by the view.
  virtual void ShowError(const std::string& message) = 0;
  // The input box asking for the line to continue after; nullopt when cancelled.
  virtual std::optional<std::string> AskResumeLine(const std::string& caption,
                                                   const std::string& prompt,
                                                   const std::string& initial) = 0;
  // The open dialog for the URL list; nullopt when cancelled. Returns the GBK file name.
  virtual std::optional<std::string> ChooseListFile(const std::string& initialFolder) = 0;
  // Asked right before a walk empties the result lists: whether it may. An owner that keeps
  // track of what was saved asks the user about rows not yet saved (and may save them
  // first); false keeps the rows and the walk does not begin. Reports its own failures.
  virtual bool MayEmptyResults() { return true; }
  virtual void Repaint() = 0;
  // Pauses the user-interface thread (events keep being delivered where the platform does).
  virtual void Pause(int milliseconds) = 0;
};

}  // namespace tolvarine
