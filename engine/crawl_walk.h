#pragma once
// The running walk: reads its addresses from the list, paces the loads, marks each page
// complete, waits for it or gives it up, harvests it, and finishes. It owns the position,
// the completion mark, the wait and its timers; the controller runs the commands around it
// (their checks, dialogs and messages) and keeps the settings and the state files.
#include <exception>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "engine/address_source.h"
#include "engine/clock.h"
#include "engine/crawl_environment.h"
#include "engine/crawl_settings.h"
#include "engine/crawl_view.h"
#include "engine/host_gate.h"
#include "engine/link_harvester.h"
#include "engine/number_info.h"
#include "engine/page_browser.h"
#include "engine/page_log.h"
#include "engine/page_pipeline.h"
#include "engine/result_list.h"
#include "engine/timer.h"

namespace tolvarine {

// Whether a load's answer asks to try later: 429, 500, 502, 503, 504, or none (a network
// error).
bool TryLater(const LoadAnswer& answer);
// Whether a robots.txt answer is no answer: 429, 5xx or none.
bool RobotsUnanswered(int status);

class CrawlWalk {
 public:
  // Writes the progress file with the given position (and the settings and total it has).
  using ProgressWriter = std::function<void(int position)>;
  // The sources of a walk with the settings, built when it starts (MakeWalkSources).
  using SourceMaker = std::function<WalkSources(const CrawlSettings&)>;

  // The settings are read at every use: an edit made during a walk counts from then on.
  CrawlWalk(CrawlView& view, PageBrowser& browser, Clock& clock,
            const CrawlEnvironment& environment, const CrawlSettings& settings,
            ProgressWriter saveProgress, SourceMaker makeSources);
  CrawlWalk(const CrawlWalk&) = delete;
  CrawlWalk& operator=(const CrawlWalk&) = delete;

  // A walk begins with Begin, then starts from the top, resumes or is abandoned.
  // Begin: fresh counters and empty result lists, the commands in the running states, the
  // pacing period from the speed.
  void Begin();
  // From the list's first line: timers on, the list opened, the first address loading. A
  // list that cannot be opened abandons the walk and the failure is thrown.
  void StartFromTop(const std::string& listPath);
  // After line `position` (below 0: from the first line). A list with no line left ends
  // the walk idle at once; a list that cannot be read abandons it and the failure is thrown.
  void ResumeAfter(const std::string& listPath, int position);
  // Ends a walk that has not got past its start: timers off, list closed, idle commands.
  void Abandon();
  // The walk ends at its next harvest or its next load.
  void RequestStop() { stopRequested_ = true; }

  // The steps of a running walk: each timer's handler, loading the next address, finishing.
  // A list that can no longer be read or a crawl state that can no longer be saved ends the
  // walk (see EndingOnFailure).
  void LoadNext();
  void PacingTick();
  void WatchdogTick();
  void AutosaveTick();
  void PositionSaveTick();
  void Finish();
  void OnNavigateComplete(FrameId frame);
  void OnDocumentComplete(FrameId frame);
  void OnTextFetched(const std::string& address, int status, const std::string& body);
  void OnBytesFetched(const std::string& address, int status, const std::string& bytes);
  void OnLoadAnswered(FrameId frame, const LoadAnswer& answer);
  // The answer to the reveal step the page in hand is waiting for.
  void OnRevealed(const RevealAnswer& answer);

  // Runs a handler as the window would: a failure goes to the standard error dialog.
  void Guarded(const std::function<void()>& handler);

  bool Running() const { return walking_; }
  // The list line read last, but never past a line whose page the walk still holds to try
  // again: a walk continued from it loads that page again.
  int Position() const { return BeforeWaitingLines(source_->Position()); }
  // The position a progress file gives, between walks.
  void SetPosition(int position) { source_->SetPosition(position); }
  ResultList& Links() { return links_; }
  ResultList& Phones() { return phones_; }
  int LinksFound() const { return linksFound_; }
  int PhonesFound() const { return phonesFound_; }
  int PagesAbandoned() const { return pagesAbandoned_; }
  int PagesHarvestedEarly() const { return pagesHarvestedEarly_; }
  void SetOnFinished(std::function<void()> onFinished) { onFinished_ = std::move(onFinished); }
  // Each page's record goes there as the page ends, after its rows (none: no page log).
  void SetPageLog(PageLogSink* log) { pageLog_ = log; }
  // Each page's result goes there too, after the result lists have its rows.
  PagePipeline& Pipeline() { return pipeline_; }
  // Where numbers belong. With it, the options "valid only" (numbers that are no valid
  // Chinese mobile number are not added, and are counted) and "places" (page records count
  // their new numbers by province and carrier) take effect. None: neither does.
  void SetNumberInfo(const NumberInfo* numbers) { pipeline_.SetNumbers(numbers); }
  // Numbers of the current or last walk left out as invalid (each once with dedup).
  int PhonesDropped() const { return pipeline_.Dropped(); }

 private:
  // The pacing period in ms: the speed x 1000, unless the environment fixes it.
  int PacingPeriod() const;
  void StopTimers();
  // Starts the periodic position save when the environment asks for one.
  void StartPositionSave();
  // Runs a step of the running walk; a list read or a state save that fails ends it.
  void EndingOnFailure(const std::function<void()>& step);
  // Ends the walk as the end of its list would and reports the failure that ended it, and
  // a failure of the end itself when asked to.
  void FinishAfter(const std::exception_ptr& failure, bool reportFinishFailure);
  // The steps themselves, unguarded.
  void LoadNextStep();
  void PacingStep();
  void WatchdogStep();
  // Reads and loads the next address, or finishes the walk at the end of the list or after
  // Stop; returns whether an address was loaded.
  bool LoadAddressOrFinish();
  // Reads the next address, counts it and starts loading it; false: it was set aside to
  // wait (its host is held, or it is a page to try again whose time has not come).
  bool ReadAddress();
  // Asks for the robots.txt of the page in hand or loads it, unless its host may not be
  // asked yet; false: set aside until then.
  bool StartPage();
  // Starts a page the walk holds whose time has come and whose host is free; false: none.
  bool StartDuePage();
  // Takes the page the scheduler handed out again from the waiting pages (its record and
  // attempts); false, set aside again, when its time has not come.
  bool TakeBackWaiting();
  // Sets the page in hand aside until dueMs, holding back its whole host until then when
  // asked; the next tick moves on.
  void SetAside(std::int64_t dueMs, bool holdHost);
  // A load answered "try later" or not at all: set aside for another attempt, or logged
  // gave-up when no attempt is left.
  void RetryOrGiveUp();
  // The robots.txt asked for did not answer (status 0 when nothing came): set aside for
  // another try with its host held, or, with no try left, its host refused.
  void RetryRobotsOrRefuse(int status);
  // The back-off before try `tries` + 1 (2, 4, 8 s ...) with its jitter.
  int BackOffMs(int tries);
  // The position, moved back before the first line whose page the walk holds.
  int BeforeWaitingLines(int position) const;
  // Spaces the host of the page in hand by its robots.txt's Crawl-delay (at most 60 s; a
  // larger one is said once a host).
  void SpaceByCrawlDelay(const std::string& host);
  // Whether the page has been waited for long enough: the wait lasts 30 ticks, and never
  // less time than 30 ticks at the fastest speed.
  bool WaitedLongEnough() const;
  // Runs the link harvester and the phone extractor on the page, as the options say;
  // `location` is its address as the browser reports it.
  void Harvest(PageDocument& document, const std::string& location);
  // The links and numbers of the document into `into` (its links, numbers, their kinds and
  // the record's counts of all found).
  void HarvestRows(PageDocument& document, const std::string& location, PageResult& into);
  // Hands the page's links to the source (not those of an error page) and ends the page
  // harvested, early or not.
  void FollowAndEnd(PageDocument* document, bool complete);
  // Reveal steps on the page just harvested, when the walk reveals: asks for the first
  // step; false: none was asked, the page ends now.
  bool StartReveal(bool complete, const std::string& location);
  // Asks the browser for the page's next step; false: no step is left or the browser
  // cannot reveal.
  bool AskRevealStep();
  // Harvests the page again after a step and adds what is new to its rows.
  void MergeRevealed(PageDocument& document);
  // The step answered: harvested again, then the next step or the page's end.
  void RevealAnswered(const RevealAnswer& answer);
  // Ends the revealed page with what it has and moves on to the next address.
  void EndReveal();
  // The rules the pipeline settles this walk's rows by.
  RowRules Rules() const;
  // Ends the page log's record of the page read last with its outcome, and tells the
  // source the address is done with. The state saved with it that cannot be written throws
  // CrawlStateError.
  void EndPage(PageOutcome outcome);
  // Logs the record of a line the pages-per-line limit cut, once its pages are done.
  void LogLineCut();
  // Saves the position after a page, when the source or the environment saves with every page.
  void SavePageProgress();
  // The sources the settings ask for; the position carries over.
  void ChooseSource();
  // Loads the address read last, or refuses it by its site's robots.txt; false: refused.
  bool LoadOrRefuse();
  // Asks for the source's next sitemap file; false: none is left.
  bool FetchSitemap();
  // Hands the sitemap answer to the source.
  void TakeSitemap();
  // Saves the progress file with the position; the owner's rows are held first.
  void SavePosition(int position);
  // Moves on to the next address at a tick where nothing was harvested.
  void MoveOnWithoutHarvest();

  CrawlView& view_;
  PageBrowser& browser_;
  Clock& clock_;
  const CrawlEnvironment& environment_;
  const CrawlSettings& settings_;
  ProgressWriter saveProgress_;
  SourceMaker makeSources_;
  std::function<void()> onFinished_;

  std::unique_ptr<AddressScheduler> source_;
  std::unique_ptr<RequestFilter> ownFilter_;
  RequestFilter* filter_ = nullptr;
  SourcedAddress address_;  // the address read last
  int reads_ = 0;           // addresses read in this walk (the watchdog's sign of progress)
  int lastSeenReads_ = 0;
  // The robots.txt asked for before loading the address read last, until its answer.
  std::string robotsAsked_;
  // Where the page of the address read last stands.
  enum class PageState {
    None,            // no address read yet, or moved on from it
    AwaitingRobots,  // its site's robots.txt asked for, not answered yet
    RobotsAnswered,  // answered: the next tick loads it or refuses it
    Skipped,         // no address, or refused: the next tick moves on without harvesting
    Loading,         // loading
    LoadingSeen,     // loading, and a pacing tick has found it so
    Complete,        // its top-level document has completed
    LoadFailed,      // answered "try later" or a network error: the next tick deals with it
    RobotsFailed,    // its robots.txt answered "try later": the next tick deals with it
    Waiting,         // nothing to load until a page set aside is due: ticks look again
    AwaitingSitemap,  // a sitemap file asked for, not answered yet
    SitemapAnswered,  // answered: the next tick hands it to the source and moves on
    Revealing,        // harvested, a reveal step asked for: its answer moves the page on
  };
  PageState state_ = PageState::None;
  LinkHarvester harvester_;
  ResultList links_;
  ResultList phones_;

  // Pacing ticks spent waiting for the page to complete (0..30), and the periods they took.
  int waitCounter_ = 0;
  int waitedMs_ = 0;
  bool stopRequested_ = false;
  int phonesFound_ = 0;
  int linksFound_ = 0;
  int pagesAbandoned_ = 0;
  int pagesHarvestedEarly_ = 0;
  FrameId rememberedFrame_ = 0;  // 0: none
  // From the moment a walk puts the commands in the running states until it ends.
  bool walking_ = false;
  // A list walk's save after a page has failed in this walk (reported once).
  bool pageSaveFailed_ = false;

  // A page set aside to be tried again later, with its open record.
  struct WaitingPage {
    SourcedAddress address;
    PageResult page;
    int attempts = 0;        // its loads answered "try later" so far
    std::int64_t dueMs = 0;  // wall ms
    bool kept = false;       // the walk holds it (else the scheduler has queued it again)
  };
  std::vector<WaitingPage> waiting_;
  HostGate gate_;
  // Failed loads of the page in hand, and the tries of each robots.txt that did not answer.
  int attempts_ = 0;
  std::map<std::string, int> robotsTries_;
  int robotsStatus_ = 0;  // the status of the robots.txt answer the next tick deals with
  int retryAfterSeconds_ = -1;  // the Retry-After of the load answer it deals with
  // The sitemap file asked for last, and its answer until the next tick takes it.
  std::string sitemapAsked_;
  int sitemapStatus_ = 0;
  std::string sitemapBytes_;
  // Hosts whose Crawl-delay over the cap has been said.
  std::set<std::string> cappedHosts_;
  std::minstd_rand jitter_;

  // The result lists as the first of the pipeline's sinks: each page's rows are appended
  // there and counted.
  class ListSink : public PageResultSink {
   public:
    explicit ListSink(CrawlWalk& walk) : walk_(walk) {}
    void OnPage(const PageResult& page) override;

   private:
    CrawlWalk& walk_;
  };

  PageLogSink* pageLog_ = nullptr;
  PagePipeline pipeline_;
  ListSink listSink_{*this};
  // Whether this walk leaves invalid numbers out and its page records count places (both
  // fixed when it begins, so its log is of one kind).
  bool dropsInvalid_ = false;
  bool countsPlaces_ = false;
  // Whether this walk makes reveal steps on each page harvested, and reads what documents
  // state for machines (both fixed when it begins).
  bool reveals_ = false;
  bool structured_ = false;
  // The reveal of the page in hand: the steps left, the step asked for, whether the page
  // had completed and where it was when harvested.
  struct Reveal {
    int scrollsLeft = 0;
    int clicksLeft = 0;
    RevealStep::Kind asked = RevealStep::Kind::Scroll;
    bool complete = false;
    std::string location;
  };
  Reveal reveal_;
  // Reveal answers in this walk: the watchdog counts each as progress.
  int revealAnswers_ = 0;
  int lastSeenRevealAnswers_ = 0;
  // The page read last, while its record is open (line above 0), and its rows.
  PageResult page_;

  Timer pacing_;
  Timer autosave_;
  Timer watchdog_;
  Timer positionSave_;
};

}  // namespace tolvarine
