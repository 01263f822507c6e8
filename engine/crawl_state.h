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
  State(CrawlView& v, PageBrowser& b, Clock& clock, CrawlSettings s, CrawlController& owner);

  CrawlView& view;
  PageBrowser& browser;
  CrawlSettings settings;
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
  FrameId rememberedFrame = 0;  // 0: none
  // From the moment a walk puts the commands in the running states until it ends.
  bool walking = false;
  std::function<void()> onFinished;

  Timer pacing;    // Timer1
  Timer autosave;  // Timer2
  Timer watchdog;  // Timer3

  // Runs a handler as the window would: a failure goes to the standard error dialog.
  void Guarded(const std::function<void()>& handler);
  // The pacing period in ms: the speed as read now x 1000, unless the settings fix it.
  int PacingPeriod();
  void StopTimers();
  // Closes the list reader; a failure is thrown.
  void CloseReader();
  // Opens the list reader on the list file named in the field.
  void OpenReader();
  // Fresh counters and empty result lists, the commands in the running states.
  void BeginWalk();
  // Ends a walk that has not got past its start: timers off, reader closed, idle commands.
  void AbandonStart();
  // Reads the next address, counts it and starts loading it.
  void ReadAddress();
  bool ListDone();
  void ShowCount(int panel, int value);
};

}  // namespace tolvarine
