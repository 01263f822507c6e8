#include "base/host_lookup.h"

#include <algorithm>

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tolvarine {

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

}  // namespace tolvarine
