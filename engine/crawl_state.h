#pragma once
// The crawl's one state record, shared by the controller's command and walk halves.
#include <functional>
#include <memory>
#include <string>

#include "base/line_reader.h"
#include "engine/crawl_controller.h"
#include "engine/link_harvester.h"
#include "engine/progress_file.h"
#include "engine/timer.h"

namespace tolvarine {

struct CrawlController::State {
  State(CrawlView& v, PageBrowser& b, Clock& clock, CrawlEnvironment e, CrawlController& owner);

  CrawlView& view;
  PageBrowser& browser;
  Clock& clock;
  CrawlEnvironment environment;
  CrawlSettings settings;
  // The list file's name as chosen, before lowering; opened while it exists.
  std::string chosenListFile;
  ProgressFile files;
  LinkHarvester harvester;

  ResultList links;
  ResultList phones;

  LineReader reader;
  int total = 0;
  int position = 0;
  int lastSeenPosition = 0;
  int waitCounter = 0;
  bool stopRequested = false;
  int phonesFound = 0;
  int linksFound = 0;
  int pagesAbandoned = 0;
  FrameId rememberedFrame = 0;  // 0: none
  // The page being loaded has completed (its top-level document-complete arrived).
  bool pageComplete = false;
  // A pacing tick has found the page being loaded not yet complete.
  bool tickFoundLoading = false;
  // The line read last is no address: the next pacing tick moves on without harvesting.
  bool notAnAddress = false;
  // From the moment a walk puts the commands in the running states until it ends.
  bool walking = false;
  std::function<void()> onFinished;

  Timer pacing;    // Timer1
  Timer autosave;  // Timer2
  Timer watchdog;  // Timer3
  Timer positionSave;

  // Runs a handler as the window would: a failure goes to the standard error dialog.
  void Guarded(const std::function<void()>& handler);
  // The pacing period in ms: the speed x 1000, unless the environment fixes it.
  int PacingPeriod() const;
  // The file-system path of the list file: the name as chosen while that file exists,
  // else the stored (lowered) name looked up ignoring case.
  std::string ListPath() const;
  // Shows the settings after they were read or changed here.
  void ShowSettings();
  void StopTimers();
  // Closes the list reader; a failure is thrown.
  void CloseReader();
  // Opens the list reader on the settings' list file.
  void OpenReader();
  // Fresh counters and empty result lists, the commands in the running states.
  void BeginWalk();
  // Ends a walk that has not got past its start: timers off, reader closed, idle commands.
  void AbandonStart();
  // Reads the next address, counts it and starts loading it.
  void ReadAddress();
  bool ListDone();
  // Reads past the lines of other shards, counting them, up to the next line of this one
  // or the end of the list.
  void SkipOtherShards();
  // Starts the periodic position save when the environment asks for one.
  void StartPositionSave();
};

}  // namespace tolvarine
