#pragma once
// The local host's IPv4 addresses, for the crawl's online check.
#include <string>
#include <vector>

namespace tolvarine {

// The local host name's IPv4 addresses in dotted form, in resolution order; empty when the
// name does not resolve.
std::vector<std::string> LocalHostAddresses();

}  // namespace tolvarine
