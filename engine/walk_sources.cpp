#include "engine/walk_sources.h"

#include "engine/crawl_frontier_source.h"
#include "engine/crawl_list_source.h"

namespace tolvarine {

WalkSources MakeWalkSources(const CrawlSettings& settings, const CrawlEnvironment& environment) {
  WalkSources sources;
  const ExtraOptions& extra = settings.extra;
  if (!extra.follow || extra.depth <= 0) {
    sources.scheduler =
        std::make_unique<ListSource>(environment.shardIndex, environment.shardCount);
    sources.ownFilter = std::make_unique<RequestFilter>();
    sources.filter = sources.ownFilter.get();
    return sources;
  }
  FollowSettings follow;
  follow.depth = extra.depth;
  follow.scope = extra.scope;
  follow.maxPagesPerLine = extra.maxPagesPerLine;
  follow.ignoreRobots = extra.ignoreRobots;
  follow.https = extra.https;
  follow.sitemaps = extra.sitemaps;
  follow.storeBusyMs = environment.crawlStoreBusyMs;
  auto frontier = std::make_unique<FrontierSource>(
      environment.stateFolder +
          CrawlStateName(environment.sharded, environment.shardIndex, environment.shardCount),
      follow, environment.shardIndex, environment.shardCount);
  sources.filter = frontier.get();
  sources.scheduler = std::move(frontier);
  return sources;
}

}  // namespace tolvarine
