#include "engine/host_gate.h"

#include <algorithm>

namespace tolvarine {

void HostGate::Hold(const std::string& host, std::int64_t untilMs) {
  Host& h = hosts_[host];
  h.holdUntil = std::max(h.holdUntil, untilMs);
}

void HostGate::Space(const std::string& host, int spacingMs) {
  if (spacingMs <= 0 && hosts_.find(host) == hosts_.end()) return;
  hosts_[host].spacingMs = std::max(spacingMs, 0);
}

void HostGate::Requested(const std::string& host, std::int64_t atMs) {
  Host& h = hosts_[host];
  h.lastRequest = atMs;
  h.requested = true;
}

std::int64_t HostGate::FreeAt(const std::string& host) const {
  const auto found = hosts_.find(host);
  if (found == hosts_.end()) return 0;
  const Host& h = found->second;
  const std::int64_t spaced = h.requested ? h.lastRequest + h.spacingMs : 0;
  return std::max(h.holdUntil, spaced);
}

}  // namespace tolvarine
