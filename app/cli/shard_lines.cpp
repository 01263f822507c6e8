#include "app/cli/shard_lines.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "base/line_reader.h"
#include "engine/crawl_scope.h"
#include "engine/list_address.h"

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
    const std::optional<std::string> address =
        sites ? AddressFromListLine(line) : std::nullopt;
    shards.push_back(address ? ShardOfKey(sites->ScopeKey(plan.follow.scope, *address), count)
                             : (position - 1) % count);
  }
  return shards;
}

}  // namespace tolvarine::cli
