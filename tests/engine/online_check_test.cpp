// The check made before a walk starts: is the machine online?
#include "tests/engine/walk_fixture.h"

namespace tolvarine {
namespace {

// A host name that resolves to the loopback (containers, common hosts files) does not
// stop a walk on a machine that has a connected interface.
TEST_F(WalkTest, AConnectedInterfaceCountsAsOnlineWhenTheHostNameSaysLoopback) {
  hostAddresses = {"127.0.0.1"};
  networkInterfaces = {"eth0"};
  EXPECT_TRUE(crawl->IsOnline());
  UsePages(1);
  Run(&CrawlController::Start);
  EXPECT_FALSE(view.Showed(Kind::Information, G("您还没有连接到网上！")));
  EXPECT_EQ(browser.Navigations(), Rows{Address(1)});

  // Refused only when neither rule holds.
  networkInterfaces = {};
  EXPECT_FALSE(crawl->IsOnline());
  hostAddresses = {"10.0.0.2"};
  EXPECT_TRUE(crawl->IsOnline());
}

}  // namespace
}  // namespace tolvarine
