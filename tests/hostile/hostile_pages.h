#pragma once
// The hostile and odd pages of the walk tests, served by a local test server, each with the
// outcome the walk should reach on it.
#include <cstddef>
#include <string>
#include <vector>

#include "tests/hostile/walk_probe.h"
#include "tests/support/local_http_server.h"

namespace tolvarine::testing {

struct HostilePage {
  std::string name;
  std::string address;  // the list line
  Outcome expected;
  std::string number;  // a number the walk must find on the page; empty for none
  std::string text;    // GBK text the harvested body text must hold; empty for none
};

// A page of plain filler text with `number` at its very end, `bytes` long (about).
std::string BigPage(std::size_t bytes, const std::string& number);

// Serves every hostile page on the server and returns them in walk order. The big page is
// `bigPageBytes` long.
std::vector<HostilePage> ServeHostilePages(LocalHttpServer& server, std::size_t bigPageBytes);

// The number of link targets on the page of many links.
inline constexpr int kManyLinks = 100000;

}  // namespace tolvarine::testing
