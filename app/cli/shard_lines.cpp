#include "app/cli/shard_lines.h"

#include <algorithm>
#include <memory>

#include "engine/crawl_list_source.h"
#include "engine/crawl_scope.h"

namespace tolvarine::cli {

std::vector<int> ShardOfEachLine(const HarvestPlan& plan) {
  const int count = std::max(plan.jobs, 1);
  std::unique_ptr<RegistrableSites> sites;
  if (plan.follow.depth > 0) sites = std::make_unique<RegistrableSites>();
  std::vector<int> shards;
  // The lines as the walk reads them (a UTF-8 list's in GBK), so each shard agrees.
  ListSource list(0, 1);
  list.Open(plan.listPath);
  while (!list.Exhausted()) {
    const std::string line = list.NextLine();
    const int position = static_cast<int>(shards.size()) + 1;
    shards.push_back(ShardOfListLine(line, position, count, sites.get(), plan.follow.scope));
  }
  return shards;
}

}  // namespace tolvarine::cli
