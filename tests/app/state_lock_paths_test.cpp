// Which walks of the command line may share a state folder: the locks each holds.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/cli/harvest_plan.h"

namespace tolvarine::cli {
namespace {

HarvestPlan Plan(std::vector<std::string> flags) {
  flags.insert(flags.begin(), {"list.txt", "--phones", "--state", "/s"});
  return ParseHarvestPlan(flags);
}

bool Conflict(const HarvestPlan& a, const HarvestPlan& b) {
  const std::vector<std::string> left = StateLockPaths(a), right = StateLockPaths(b);
  return std::any_of(left.begin(), left.end(), [&right](const std::string& path) {
    return std::find(right.begin(), right.end(), path) != right.end();
  });
}

TEST(StateLockPaths, ShardsOfOneListShareAFolderAndNothingElseDoes) {
  const HarvestPlan walk = Plan({}), jobs = Plan({"--jobs", "2"});
  const HarvestPlan shard0 = Plan({"--shard", "0/2"}), shard1 = Plan({"--shard", "1/2"});
  EXPECT_TRUE(Conflict(walk, walk));
  EXPECT_TRUE(Conflict(walk, jobs));
  EXPECT_TRUE(Conflict(shard0, shard0));
  EXPECT_TRUE(Conflict(jobs, shard1));
  EXPECT_FALSE(Conflict(shard0, shard1));
  EXPECT_FALSE(Conflict(walk, shard0));
  // A shard started by --jobs leaves the locks to its parent.
  EXPECT_TRUE(StateLockPaths(Plan({"--shard", "1/2", "--records-fd", "3"})).empty());
}

}  // namespace
}  // namespace tolvarine::cli
