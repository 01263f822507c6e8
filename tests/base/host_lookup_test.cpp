#include "base/host_lookup.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tolvarine {
namespace {

// The loopback is up on every Linux machine; it must never count as a connection.
TEST(HostLookup, ConnectedInterfacesLeaveOutTheLoopback) {
  const std::vector<std::string> names = ConnectedNetworkInterfaces();
  EXPECT_EQ(std::count(names.begin(), names.end(), "lo"), 0);
  EXPECT_EQ(std::count(names.begin(), names.end(), std::string()), 0);
}

}  // namespace
}  // namespace tolvarine
