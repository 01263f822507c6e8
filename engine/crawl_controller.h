#pragma once
// Walks a URL list through the page browser: paces loads, detects completion and stalls,
// harvests each page, stops, finishes and continues, and keeps the progress and list files.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/clock.h"
#include "engine/crawl_settings.h"
#include "engine/crawl_view.h"
#include "engine/page_browser.h"
#include "engine/result_list.h"

namespace tolvarine {

// Where the controller runs: its state folder, its online check and a fixed pacing period.
struct CrawlEnvironment {
  // Folder of the progress file and the list files, with a trailing "/"; empty takes the
  // program's state folder.
  std::string stateFolder;
  // The local host's IPv4 addresses in resolution order (the online check); defaults to
  // the real host lookup.
  std::function<std::vector<std::string>()> hostAddresses;
  // The names of the network interfaces that are up with an address, loopback aside (the
  // online check's other rule); defaults to the real list.
  std::function<std::vector<std::string>()> networkInterfaces;
  // When set, overrides speed x 1000 as the pacing period (the watchdog keeps 15 periods,
  // never less than 15 s).
  int pacingIntervalMs = 0;
  // The command line's rule: the pacing period is the least time between two loads, so a
  // page that completes after a tick has already found it loading is harvested at once
  // instead of at the next tick (which would add half a period a page on average). Off, the
  // window's rule: a page is harvested only at a tick.
  bool harvestOnCompletion = false;
  // A shard walks only its share of the list: line i (counted from 1) belongs to shard
  // (i - 1) mod shardCount. Positions still count every line of the list. A sharded walk
  // keeps its progress in a file of its own (ShardProgressName).
  int shardIndex = 0;
  int shardCount = 1;
  bool sharded = false;
  // When above 0, a walk saves its position this often (the command line), as the last
  // line done: a page still loading when the process dies is walked again.
  int positionSaveMs = 0;
};

// The owner routes the browser's events to the controller (browser.SetListener(&controller)).
// The controller is the one guard of its timer ticks and browser events: a failure in
// either goes to the view's error dialog and never leaves the handler.
class CrawlController : public PageBrowserListener {
 public:
  CrawlController(CrawlView& view, PageBrowser& browser, Clock& clock,
                  CrawlEnvironment environment);
  ~CrawlController() override;

  // The settings the walk uses, read at the moment each is used: an edit made during a walk
  // counts from the next tick. The owner writes them; ReadProgress, LoadLists and
  // UseListFile change them and show them through the view.
  CrawlSettings& Settings();

  // Commands (the tool bar). Each may throw; the caller runs it through its guard.
  void ChooseList();
  // The list file as if chosen in the dialog: the name is stored lowered (A..Z only) as
  // the settings' list file and its lines are counted into the total. The walk opens the
  // name as chosen while that file exists.
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

  // Browser events (guarded).
  void OnNavigateComplete(FrameId frame, const std::string& address) override;
  void OnDocumentComplete(FrameId frame, const std::string& address) override;

  // Timer handlers and internal steps, public for tests.
  void LoadNext();
  void PacingTick();
  void WatchdogTick();
  void AutosaveTick();
  void PositionSaveTick();
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
  // Pages of the current or last walk that the watchdog gave up waiting for.
  int PagesAbandoned() const;
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
