#include "app/cli/shard_lines.h"

#include <algorithm>
#include <memory>

#include "base/line_reader.h"
#include "engine/crawl_scope.h"

namespace tolvarine::cli {

std::vector<int> ShardOfEachLine(const HarvestPlan& plan) {
  const int count = std::max(plan.jobs, 1);
  std::unique_ptr<RegistrableSites> sites;
  if (plan.follow.depth > 0) sites = std::make_unique<RegistrableSites>();
  std::vector<int> shards;
  LineReader reader(plan.listPath);
  while (!reader.AtEnd()) {
    const std::string line = reader.ReadLine();
    const int position = static_cast<int>(shards.size()) + 1;
    shards.push_back(ShardOfListLine(line, position, count, sites.get(), plan.follow.scope));
  }
  return shards;
}

}  // namespace tolvarine::cli
