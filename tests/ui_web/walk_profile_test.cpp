// The walk's profile keeps its HTTP cache small and in memory.
#include <gtest/gtest.h>

#include <QWebEngineProfile>

#include "ui/web/web_engine_setup.h"

namespace tolvarine::testing {
namespace {

TEST(WalkProfileTest, KeepsASmallCacheInMemory) {
  QWebEngineProfile profile;
  SetUpWalkProfile(&profile);
  EXPECT_EQ(profile.httpCacheType(), QWebEngineProfile::MemoryHttpCache);
  EXPECT_EQ(profile.httpCacheMaximumSize(), kWalkHttpCacheBytes);
}

}  // namespace
}  // namespace tolvarine::testing
