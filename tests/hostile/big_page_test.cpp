// A 50 MB page in a walk. The engine needs a minute or so to lay out a page that size, so
// this test is kept out of the default run (see CMakeLists.txt: ctest -C Slow -L slow); the
// default walk has a 5 MB page.
#include <gtest/gtest.h>

#include "tests/hostile/hostile_walk.h"

namespace tolvarine::testing {
namespace {

TEST_F(HostileWalkTest, DISABLED_HarvestsAFiftyMegabytePage) {
  const HostilePage big{
      "big page (50 MB)", server.Url("/big"), Outcome::Harvested, "15900000050", {}};
  server.Page("/big", BigPage(std::size_t{50} << 20, big.number));
  // 5 s periods: the watchdog leaves a page after 75 to 150 s, past the engine's load and
  // snapshot of the page (about a second per megabyte).
  ASSERT_TRUE(Walk({big}, 5000, 600000));
  ExpectOutcomes({big});
}

}  // namespace
}  // namespace tolvarine::testing
