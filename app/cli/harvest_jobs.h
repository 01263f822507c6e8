#pragma once
// harvest --jobs N: N shard processes of this executable walk the list at once, and this
// process joins the records they send into the one output, as one walk would write them.
#include "app/cli/harvest_plan.h"

namespace tolvarine::cli {

// Starts the shards, writes their rows as they arrive, shows one progress and one end,
// passes SIGINT and SIGTERM on to them and waits for them all. Returns the exit status: 0
// when every shard finished and every row was written, 128 + the signal when they were
// stopped by one, 1 otherwise. The plan's files have been checked.
int RunHarvestJobs(const HarvestPlan& plan);

}  // namespace tolvarine::cli
