#pragma once
// harvest --jobs N: N shard processes of this executable walk the list at once, and this
// process joins their rows into the one output.
#include <optional>
#include <string>
#include <vector>

namespace tolvarine::cli {

struct JobsPlan {
  int jobs = 1;
  // The harvest arguments for the children, without --jobs, --dedup and the output files.
  std::vector<std::string> childArgs;
  std::optional<std::string> phonesOut;
  std::optional<std::string> linksOut;
  bool dedup = false;
  bool continuing = false;
};

// Starts the children, writes their rows as they arrive (with dedup across all shards and
// the rows already in the output files of a continued walk), passes SIGINT and SIGTERM on
// to them and waits for them all. 0 when every child and every write succeeded.
int RunHarvestJobs(const JobsPlan& plan);

}  // namespace tolvarine::cli
