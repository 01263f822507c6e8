#pragma once
// Walks a URL list through the page browser: paces loads, detects completion and stalls,
// harvests each page, stops, finishes and continues, and keeps the progress and list files.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/clock.h"
#include "engine/crawl_view.h"
#include "engine/page_browser.h"
#include "engine/result_list.h"

namespace tolvarine {

struct CrawlSettings {
  // Folder of the progress file and the list files, with a trailing "/"; empty takes the
  // program's state folder.
  std::string stateFolder;
  // The local host's IPv4 addresses in resolution order (the online check); defaults to
  // the real host lookup.
  std::function<std::vector<std::string>()> hostAddresses;
  // The names of the network interfaces that are up with an address, loopback aside (the
  // online check's other rule); defaults to the real list.
  std::function<std::vector<std::string>()> networkInterfaces;
  // When set, overrides speed x 1000 as the pacing period (the watchdog keeps 15 periods).
  int pacingIntervalMs = 0;
};

// The owner routes the browser's events to OnNavigateComplete / OnDocumentComplete (for
// example browser.SetListener(&controller), or through its own guarded listener); neither
// handler throws.
class CrawlController : public PageBrowserListener {
 public:
  CrawlController(CrawlView& view, PageBrowser& browser, Clock& clock, CrawlSettings settings);
  ~CrawlController() override;

  // Commands (the tool bar). Each may throw; the caller runs it through its guard.
  void ChooseList();
  // The list file as if chosen in the dialog: the name is stored lowered (A..Z only) in the
  // list file field and its lines are counted into total (panel 1).
  void UseListFile(const std::string& name);
  void Start();
  void Stop();
  void Continue();
  // Continue without the input box and the pause: resumes after line `position` (the
  // command line). As with Continue, the progress file must exist and is read first.
  void ContinueFrom(int position);

  // Progress and list files.
  void WriteProgress();
  bool ReadProgress();
  void LoadLists();
  void SaveLists();

  // Browser events.
  void OnNavigateComplete(FrameId frame, const std::string& address) override;
  void OnDocumentComplete(FrameId frame, const std::string& address) override;

  // Timer handlers and internal steps, public for the owner's hidden buttons and tests.
  void LoadNext();
  void PacingTick();
  void WatchdogTick();
  void AutosaveTick();
  void Finish();
  bool IsOnline();

  ResultList& Links();
  ResultList& Phones();
  // True from the start of a walk until it ends (a stopped walk runs until its next tick).
  bool Running() const;
  int Position() const;
  int Total() const;
  int LinksFound() const;
  int PhonesFound() const;
  // Called when a walk ends (finished); the console runner exits on it.
  void SetOnFinished(std::function<void()> onFinished);

  struct State;

 private:
  // A walk still in progress (stopped but waiting for its tick) is finished before a new
  // one begins.
  void EndWalkInProgress();
  void Resume(std::optional<int> givenPosition);

  std::unique_ptr<State> s_;
};

}  // namespace tolvarine
