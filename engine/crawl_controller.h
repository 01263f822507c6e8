#pragma once
// Walks a URL list through the page browser: paces loads, detects completion and stalls,
// harvests each page, stops, finishes and continues, and keeps the progress and list files.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/platform/state_lock.h"
#include "engine/clock.h"
#include "engine/crawl_environment.h"
#include "engine/crawl_settings.h"
#include "engine/crawl_view.h"
#include "engine/number_info.h"
#include "engine/page_browser.h"
#include "engine/page_log.h"
#include "engine/page_pipeline.h"
#include "engine/progress_file.h"
#include "engine/result_list.h"

namespace tolvarine {

class CrawlWalk;

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
  void OnTextFetched(const std::string& address, int status, const std::string& body) override;
  void OnBytesFetched(const std::string& address, int status, const std::string& bytes) override;
  void OnLoadAnswered(FrameId frame, const LoadAnswer& answer) override;
  void OnRevealed(const RevealAnswer& answer) override;

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
  // Pages of the current or last walk harvested when the wait for their load ran out
  // before the load completed.
  int PagesHarvestedEarly() const;
  // Called when a walk ends (finished); the console runner exits on it.
  void SetOnFinished(std::function<void()> onFinished);
  // Where each page's record goes as the page ends (the page log); none by default.
  void SetPageLog(PageLogSink* log);
  // Where each page's result goes, after the result lists.
  PagePipeline& Pipeline();
  // Where numbers belong (not owned; none by default): with it, the settings' "valid only"
  // and "places" options take effect from the next walk.
  void SetNumberInfo(const NumberInfo* numbers);
  // Numbers of the current or last walk left out as invalid.
  int PhonesDropped() const;

 private:
  // A walk still in progress (stopped but waiting for its tick) is finished before a new
  // one begins.
  void EndWalkInProgress();
  void Resume(std::optional<int> givenPosition);
  // The input box of Continue: the line entered, or nothing when cancelled (the commands
  // then go back to idle). A line that is no number throws, the commands idle.
  std::optional<int> AskResumeLine();
  void CancelResume();
  // Takes the state folder's lock for the walk about to begin (when the environment asks
  // for it); false, the view told, when another walk holds it.
  bool LockStateFolder();
  // Releases the lock at the end of a command unless its walk goes on.
  class LockUnlessWalking;
  // The file-system path of the list file: the name as chosen while that file exists,
  // else the stored (lowered) name looked up ignoring case.
  std::string ListPath() const;
  // Runs a handler as the window would: a failure goes to the standard error dialog.
  void Guarded(const std::function<void()>& handler);

  CrawlView& view_;
  CrawlEnvironment environment_;
  CrawlSettings settings_;
  // The list file's name as chosen, before lowering; opened while it exists.
  std::string chosenListFile_;
  ProgressFile files_;
  int total_ = 0;
  std::unique_ptr<CrawlWalk> walk_;
  std::function<void()> onFinished_;
  // Held from the start of a walk until it ends.
  platform::StateLock lock_;
};

}  // namespace tolvarine
