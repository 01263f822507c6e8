// Host name resolution and network interfaces on POSIX systems.
#include "base/host_lookup.h"

#include <algorithm>

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tolvarine {

namespace {

// An address other than a link-local one, which a machine gives itself without a network.
bool RoutableAddress(const sockaddr& address) {
  if (address.sa_family == AF_INET) {
    const auto& in = reinterpret_cast<const sockaddr_in&>(address);
    return (ntohl(in.sin_addr.s_addr) >> 16) != 0xA9FEu;  // 169.254.0.0/16
  }
  if (address.sa_family == AF_INET6) {
    const auto& in6 = reinterpret_cast<const sockaddr_in6&>(address);
    return !IN6_IS_ADDR_LINKLOCAL(&in6.sin6_addr);
  }
  return false;
}

}  // namespace

std::vector<std::string> LocalHostAddresses() {
  std::vector<std::string> addresses;
  char name[64] = {};
  if (gethostname(name, sizeof name - 1) != 0) return addresses;

  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;  // one entry per address, not one per socket type
  addrinfo* found = nullptr;
  if (getaddrinfo(name, nullptr, &hints, &found) != 0) return addresses;
  for (const addrinfo* info = found; info; info = info->ai_next) {
    if (info->ai_family != AF_INET || !info->ai_addr) continue;
    const auto* address = reinterpret_cast<const sockaddr_in*>(info->ai_addr);
    char dotted[INET_ADDRSTRLEN] = {};
    if (!inet_ntop(AF_INET, &address->sin_addr, dotted, sizeof dotted)) continue;
    if (std::find(addresses.begin(), addresses.end(), dotted) == addresses.end()) {
      addresses.emplace_back(dotted);
    }
  }
  freeaddrinfo(found);
  return addresses;
}

std::vector<std::string> ConnectedNetworkInterfaces() {
  std::vector<std::string> names;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return names;
  for (const ifaddrs* entry = list; entry; entry = entry->ifa_next) {
    if (!entry->ifa_addr || !entry->ifa_name) continue;
    if (!(entry->ifa_flags & IFF_UP) || !(entry->ifa_flags & IFF_RUNNING) ||
        (entry->ifa_flags & IFF_LOOPBACK) || !RoutableAddress(*entry->ifa_addr)) {
      continue;
    }
    if (std::find(names.begin(), names.end(), entry->ifa_name) == names.end()) {
      names.emplace_back(entry->ifa_name);
    }
  }
  freeifaddrs(list);
  return names;
}

}  // namespace tolvarine
