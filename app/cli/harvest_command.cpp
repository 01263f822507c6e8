// tolvarine harvest: a walk through the WebEngine browser without a window, with the same
// crawl controller as the window; with --jobs, several such walks joined into one output.
#include <deque>
#include <string>
#include <vector>

#include "app/cli/arg_parser.h"
#include "app/cli/command_io.h"
#include "app/cli/command_list.h"
#include "app/cli/harvest_flags.h"
#include "app/cli/harvest_jobs.h"
#include "app/cli/harvest_plan.h"
#include "app/cli/harvest_walk.h"
#include "base/errors.h"
#include "base/file_names.h"
#include "base/platform/environment.h"
#include "base/platform/state_lock.h"
#include "base/state_folder.h"

namespace tolvarine::cli {
namespace {

// Takes the state folder's locks for the whole command. Throws when another walk holds one
// (naming it) or a lock file cannot be made.
void LockStateFolder(const HarvestPlan& plan, std::deque<platform::StateLock>& locks) {
  for (const std::string& path : StateLockPaths(plan)) {
    long holder = 0;
    const int result = locks.emplace_back().TryLock(path, holder);
    if (result == platform::StateLock::kHeld) {
      const std::string process = holder > 0 ? " (process " + std::to_string(holder) + ")" : "";
      throw Error("the state folder " + GbkFileName(plan.stateFolder) +
                  " is in use by another walk" + process +
                  "; wait for it to end or give --state another folder");
    }
    if (result != 0) throw FileCreateError(GbkFileName(path));
  }
}

}  // namespace

int RunHarvest(int argc, char** argv, const std::vector<std::string>& args) {
  return RunCommand(HarvestCommand(), args, [argc, argv](const ParsedArgs& parsed) {
    const HarvestPlan plan = HarvestPlanFrom(parsed);
    CheckHarvestFiles(plan);
    // The shards inherit it, as they inherit the rest of the environment.
    if (plan.verbose) platform::SetEnvironment("TOLVARINE_VERBOSE", "1");
    // One walk a state folder: a shard's parent holds the lock for it.
    std::deque<platform::StateLock> locks;
    LockStateFolder(plan, locks);
    if (plan.jobs > 0) return RunHarvestJobs(plan);
    return WalkStatus(RunOneWalk(argc, argv, plan));
  });
}

}  // namespace tolvarine::cli
