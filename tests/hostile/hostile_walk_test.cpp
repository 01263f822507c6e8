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

}  // namespace
}  // namespace tolvarine::testing
