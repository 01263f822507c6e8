#pragma once
// The names of a walk's files in the state folder. A shard of a list keeps its own progress,
// crawl state and lock beside the others, its index and count in each name, so that the
// shards of one list can share a folder.
#include <string>

namespace tolvarine {

struct StateFileNames {
  std::string progress;    // "tolvarine.ini", a shard's "tolvarine-shard-2-of-8.ini"
  std::string crawlState;  // "tolvarine-crawl.db", a shard's "tolvarine-crawl-2-of-8.db"
  std::string lock;        // "tolvarine.lock", a shard's "tolvarine-shard-2-of-8.lock"
};

// The names for the whole list (sharded false: index and count are not used) or for shard
// `index` of `count`.
StateFileNames StateFileNamesFor(bool sharded, int index, int count);

// Where a --jobs run keeps what it holds back from its outputs.
inline constexpr char kJobsJournalName[] = "tolvarine-jobs.journal";

}  // namespace tolvarine
