#pragma once
// What the crawl's online check asks of the network (base/platform implements it).
#include <string>
#include <vector>

namespace tolvarine {

// The local host name's IPv4 addresses in dotted form, in resolution order; empty when the
// name does not resolve.
std::vector<std::string> LocalHostAddresses();

// The names of the network interfaces that are up and running, are not the loopback, and
// have an address other than a link-local one (IPv4 or IPv6).
std::vector<std::string> ConnectedNetworkInterfaces();

}  // namespace tolvarine
