#pragma once
// One walk of a harvest plan in this process, through the WebEngine browser without a window
// and the same crawl controller as the window. Its rows go to the plan's outputs, or, for a
// shard of a --jobs run, to the parent as records.
#include "app/cli/harvest_plan.h"

namespace tolvarine::cli {

// What a walk ended with, for the exit status and the closing lines.
struct WalkOutcome {
  bool started = false;
  bool finished = false;  // ended at the list's end or stopped, not by a failure
  bool failed = false;    // a lost row, a file that could not be written
  int stopSignal = 0;     // the signal that stopped it (0: none)
  int position = 0;
  int abandoned = 0;
  int early = 0;
};

// The exit status of a walk: 0 done, 1 failure, 128 + signal when stopped by one.
int WalkStatus(const WalkOutcome& outcome);

// Runs the walk; the plan's files have been checked. Throws on a failure before the walk.
WalkOutcome RunOneWalk(int argc, char** argv, const HarvestPlan& plan);

}  // namespace tolvarine::cli
