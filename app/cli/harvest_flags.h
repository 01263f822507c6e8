#pragma once
// The harvest command's flags, in one table: each flag's name and kind, its lines in the
// usage, and how a shard of --jobs is given it from the plan, so that a new flag reaches
// the parser, the usage and the shards together.
#include <optional>
#include <string>
#include <vector>

#include "app/cli/arg_parser.h"
#include "app/cli/harvest_plan.h"

namespace tolvarine::cli {

struct HarvestFlag {
  FlagRow flag;
  // The flag's value for shard `index` of the plan's --jobs run; nullopt leaves the flag
  // out (a switch's value is not used). Null for a flag no shard is given: the outputs, the
  // run's own division and what its parent alone does with the rows.
  std::optional<std::string> (*forShard)(const HarvestPlan& plan, int index);
};

// The table, in the usage's order.
const std::vector<HarvestFlag>& HarvestFlags();

// The command as the parser and --help take it.
const CommandTable& HarvestCommand();

}  // namespace tolvarine::cli
