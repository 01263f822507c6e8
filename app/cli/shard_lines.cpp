#include "app/cli/shard_lines.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "engine/crawl_list_source.h"
#include "engine/crawl_scope.h"
#include "engine/list_address.h"

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
    const std::optional<std::string> address =
        sites ? AddressFromListLine(line) : std::nullopt;
    shards.push_back(address ? ShardOfKey(sites->ScopeKey(plan.follow.scope, *address), count)
                             : (position - 1) % count);
  }
  return shards;
}

}  // namespace tolvarine::cli
