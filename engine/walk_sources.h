#pragma once
// The sources of a walk with the given settings: the URL list alone, or, when links are
// followed, the crawl frontier kept in the state folder, which also answers for robots.txt
// and scope.
#include "engine/address_source.h"
#include "engine/crawl_environment.h"
#include "engine/crawl_settings.h"

namespace tolvarine {

WalkSources MakeWalkSources(const CrawlSettings& settings, const CrawlEnvironment& environment);

}  // namespace tolvarine
