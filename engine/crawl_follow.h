#pragma once
// How a walk follows the links it finds: how deep, within what, how many pages a line, and
// whether robots.txt is obeyed. Depth 0 walks the list alone.
#include <string>

#include "engine/crawl_scope.h"
#include "engine/extra_options_file.h"

namespace tolvarine {

struct FollowSettings {
  int depth = 0;
  ScopeKind scope = ScopeKind::Site;
  int maxPagesPerLine = kDefaultMaxPagesPerLine;
  bool ignoreRobots = false;
  bool https = false;  // https:// links are followed too
  bool sitemaps = false;  // each line's sitemaps queue pages at depth 1
  // How long a change to the crawl's state waits for another program's lock on it.
  int storeBusyMs = 5000;
};

// The crawl's state file in the state folder ("tolvarine-crawl.db"; a shard's carries its
// index and count as its progress file does).
std::string CrawlStateName(bool sharded, int index, int count);

// The product token the crawl looks for in robots.txt groups.
inline constexpr char kRobotsProductToken[] = "Tolvarine";

}  // namespace tolvarine
