// The report's figures from page records: pages per minute of walking time, and how each
// site's pages were answered.
#include "engine/walk_figures.h"

#include <gtest/gtest.h>

namespace tolvarine {
namespace {

constexpr std::int64_t kT0 = 1765300000000;

PageRecord Page(std::int64_t startMs, std::int64_t endMs, PageOutcome outcome = PageOutcome::Harvested) {
  PageRecord r;
  r.line = 1;
  r.site = "a.example";
  r.startMs = kT0 + startMs;
  r.endMs = kT0 + endMs;
  r.outcome = outcome;
  return r;
}

TEST(WalkFiguresTest, PagesPerMinuteCountsWalkingTimeOnly) {
  // 11 pages of 2 s: a 22 s walk; the limit record of its line is no page.
  WalkFiguresBuilder walk;
  for (int i = 0; i < 11; ++i) walk.Add(Page(i * 2000, i * 2000 + 2000));
  walk.Add(Page(22000, 22000, PageOutcome::Limit));
  EXPECT_DOUBLE_EQ(walk.Finish().PagesPerMinute(), 30.0);

  // Stopped after 5 pages for ten minutes, then continued; gaps of a few seconds between
  // pages (waiting for a site) count as walking.
  WalkFiguresBuilder paused;
  for (int i = 0; i < 5; ++i) paused.Add(Page(i * 2000, i * 2000 + 1500));
  for (int i = 0; i < 5; ++i) paused.Add(Page(610000 + i * 2000, 610000 + i * 2000 + 1500));
  const WalkFigures f = paused.Finish();
  EXPECT_EQ(f.walkingMs, 2 * 9500);
  EXPECT_NEAR(f.PagesPerMinute(), 10 * 60000.0 / 19000, 1e-9);

  // Two shards side by side over the same 20 s: their time is not counted twice; records
  // come in any order.
  WalkFiguresBuilder shards;
  for (int i = 9; i >= 0; --i) {
    shards.Add(Page(i * 2000, i * 2000 + 2000));
    shards.Add(Page(i * 2000 + 500, i * 2000 + 2500));
  }
  EXPECT_DOUBLE_EQ(shards.Finish().PagesPerMinute(), 20 * 60000.0 / 20500);

  EXPECT_EQ(WalkFiguresBuilder().Finish().PagesPerMinute(), 0.0);
}

TEST(WalkFiguresTest, CountsEachSitesStatusesAndNetworkErrors) {
  WalkFiguresBuilder builder;
  const auto add = [&builder](const char* site, int status, const char* error,
                              PageOutcome outcome = PageOutcome::Harvested) {
    PageRecord r = Page(0, 100, outcome);
    r.site = site;
    r.status = status;
    r.error = error;
    builder.Add(r);
  };
  add("a.example", 200, "");
  add("a.example", 200, "");
  add("a.example", 404, "");
  add("b.example", 503, "", PageOutcome::GaveUp);
  add("b.example", 0, "connection-refused", PageOutcome::GaveUp);
  add("b.example", 0, "", PageOutcome::Refused);  // never loaded: no answer to count
  const WalkFigures f = builder.Finish();
  EXPECT_EQ(f.statuses, (std::map<int, int>{{200, 2}, {404, 1}, {503, 1}}));
  EXPECT_EQ(f.errors, (std::map<std::string, int>{{"connection-refused", 1}}));
  ASSERT_EQ(f.sites.size(), 2u);
  const SiteFigures& a = f.sites[0].site == "a.example" ? f.sites[0] : f.sites[1];
  const SiteFigures& b = f.sites[0].site == "a.example" ? f.sites[1] : f.sites[0];
  EXPECT_EQ(a.statuses, (std::map<int, int>{{200, 2}, {404, 1}}));
  EXPECT_TRUE(a.errors.empty());
  EXPECT_EQ(b.statuses, (std::map<int, int>{{503, 1}}));
  EXPECT_EQ(b.errors, (std::map<std::string, int>{{"connection-refused", 1}}));
}

}  // namespace
}  // namespace tolvarine
