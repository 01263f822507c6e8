#pragma once
// Where a walk runs: its state folder and its lock, its online check, its pacing, how often
// it saves its position, and its share of the list.
#include <functional>
#include <string>
#include <vector>

#include "engine/crawl_follow.h"

namespace tolvarine {

struct CrawlEnvironment {
  // Folder of the progress file, the list files, the extra options file, the crawl's state
  // file and the lock, with a trailing "/"; empty takes the program's state folder.
  std::string stateFolder;
  // The local host's IPv4 addresses in resolution order (the online check); defaults to
  // the real host lookup.
  std::function<std::vector<std::string>()> hostAddresses;
  // The names of the network interfaces that are up with an address, loopback aside (the
  // online check's other rule); defaults to the real list.
  std::function<std::vector<std::string>()> networkInterfaces;
  // When set, overrides speed x 1000 as the pacing period (the watchdog keeps 15 periods,
  // never less than 15 s).
  int pacingIntervalMs = 0;
  // The command line's rule: the pacing period is the least time between two loads, so a
  // page that completes after a tick has already found it loading is harvested at once
  // instead of at the next tick (which would add half a period a page on average). Off, the
  // window's rule: a page is harvested only at a tick.
  bool harvestOnCompletion = false;
  // A shard walks only its share of the list: line i (counted from 1) belongs to shard
  // (i - 1) mod shardCount; with links followed, a line belongs to the shard of its scope
  // key (ShardOfKey), so that one site's pages stay in one shard (a line that is no
  // address keeps the rule by number). Positions still count every line of the list. A
  // sharded walk keeps its progress and its crawl's state in files of its own
  // (ShardProgressName, CrawlStateName).
  int shardIndex = 0;
  int shardCount = 1;
  bool sharded = false;
  // When above 0, a walk saves its position this often (the command line), as the last
  // line done: a page still loading when the process dies is walked again.
  int positionSaveMs = 0;
  // How long a change to the crawl's state file waits for another program's lock on it
  // before the walk ends with the failure.
  int crawlStoreBusyMs = 5000;
  // Called before the walk saves anything that marks pages done (the progress file, a page's
  // end in the crawl store): a shard of --jobs waits there until its parent holds the rows
  // sent so far. Throws when they cannot be held; the state is then not saved.
  std::function<void()> beforeSave;
  // Saves the position after every page (the command line), so that a walk killed and
  // continued walks again at most the page that was in flight.
  bool saveEveryPage = false;
  // Whether the controller holds the state folder's lock (kStateLockName) while a walk
  // runs, and refuses to begin one that another walk holds. Off where the owner holds the
  // lock itself (harvest, for the whole command) or its parent does (a shard of --jobs).
  bool lockStateFolder = true;
  // The jitter added to a retry's back-off: a whole number of ms in [0, maxMs]. Empty: a
  // pseudo-random one (tests give a fixed one).
  std::function<int(int maxMs)> retryJitterMs;
};

}  // namespace tolvarine
