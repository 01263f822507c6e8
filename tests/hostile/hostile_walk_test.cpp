// One walk over every hostile and odd page: none of them stops, freezes or crashes it, and
// nothing harvested from the plain pages around them is lost.
#include "tests/hostile/hostile_walk.h"

#include <gmock/gmock.h>

#include <QDir>
#include <QFileInfo>
#include <QWebEngineProfile>

namespace tolvarine::testing {
namespace {

using ::testing::Contains;

TEST_F(HostileWalkTest, GetsPastEveryHostilePageAndLosesNothingAroundThem) {
  const std::vector<HostilePage> pages = ServeHostilePages(server, 5 << 20);
  // Watchdog of 15 periods of 1 s (its shortest): a page that raises nothing is left after
  // 15 to 30 s, before the 30 pacing ticks would harvest it as it stands, and well past the
  // engine's load of the 5 MB page (about a second per megabyte).
  ASSERT_TRUE(Walk(pages, 1000, 550000));
  ExpectOutcomes(pages);

  // Every harvest failure was shown as an error, and nothing else was.
  std::size_t failed = 0;
  for (const HostilePage& page : pages) failed += page.expected == Outcome::HarvestFailed;
  const std::vector<std::string> errors = view.Texts(MessageKind::Error);
  EXPECT_EQ(errors.size(), failed);
  for (const std::string& error : errors) EXPECT_EQ(error, "The document has no body");

  // Every link of the page of many links was listed.
  EXPECT_GE(crawl->Links().Count(), kManyLinks);
  EXPECT_THAT(crawl->Links().Rows(), Contains(server.Url("/l/" + std::to_string(kManyLinks - 1))));
  // No window was opened, nothing was saved, and the crashed renderer was replaced.
  for (const HttpRequestRecord& r : server.Requests()) EXPECT_NE(r.target.rfind("/popup", 0), 0u);
  const QString saved = QDir(browser->Profile()->downloadPath()).filePath("tolvarine-hostile.bin");
  EXPECT_FALSE(QFileInfo::exists(saved)) << saved.toStdString();
  EXPECT_GE(renderersRecovered, 1);
}

// The command line's walk reuses pages: the pages that leave something running behind (a
// script that never ends, one that blocks leaving, a crash) must not reach the next address.
TEST_F(HostileWalkTest, TheCommandLineWalkGetsPastThePagesThatOutliveTheirLoad) {
  UseCommandLineWalk();
  std::vector<HostilePage> pages;
  for (HostilePage& page : ServeHostilePages(server, 1 << 20)) {
    if (page.name == "alert, confirm, prompt" || page.name == "leave-page prompt" ||
        page.name == "endless script" || page.name == "renderer crash") {
      // A page that never completes has no document (never the page before it's), and
      // however short the period the wait for it lasts 30 s: the watchdog (15 s at the
      // least) gives it up, as in the window.
      pages.push_back(std::move(page));
    }
  }
  server.Page("/spin-on-leave", R"(<html><body><p>leaving 15900000020</p><script>
    addEventListener('pagehide', function () { for (;;) {} });
    </script></body></html>)");
  pages.push_back({"endless script on leaving", server.Url("/spin-on-leave"), Outcome::Harvested,
                   "15900000020", {}});
  ASSERT_EQ(pages.size(), 5u);
  ASSERT_TRUE(Walk(pages, 100, 300000));
  ExpectOutcomes(pages);
  EXPECT_TRUE(view.Texts(MessageKind::Error).empty());
}

}  // namespace
}  // namespace tolvarine::testing
