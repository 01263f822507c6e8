#pragma once
// Which shard of a --jobs run walks each line of the list, as the shards' walks decide it:
// in turn, or, when links are followed, by the line's site or host (a line that is no
// address in turn).
#include <vector>

#include "app/cli/harvest_plan.h"

namespace tolvarine::cli {

// The shard of each line, the first line's first. Throws InOutError when the list cannot be
// read.
std::vector<int> ShardOfEachLine(const HarvestPlan& plan);

}  // namespace tolvarine::cli
