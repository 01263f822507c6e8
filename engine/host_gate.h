#pragma once
// When each host may next be asked for a page: a hold that a "try later" answer puts on the
// whole host (429, 503), and the least time between two requests its robots.txt asks for
// (Crawl-delay). Times are the walk clock's wall milliseconds.
#include <cstdint>
#include <map>
#include <string>

namespace tolvarine {

class HostGate {
 public:
  // No request to the host before `untilMs` (a later hold of the two counts).
  void Hold(const std::string& host, std::int64_t untilMs);
  // The least time between two requests to the host (0: none).
  void Space(const std::string& host, int spacingMs);
  // A request went to the host at `atMs`.
  void Requested(const std::string& host, std::int64_t atMs);
  // The earliest time the host may be asked again.
  std::int64_t FreeAt(const std::string& host) const;
  void Clear() { hosts_.clear(); }

 private:
  struct Host {
    std::int64_t holdUntil = 0;
    std::int64_t lastRequest = 0;
    bool requested = false;
    int spacingMs = 0;
  };
  std::map<std::string, Host> hosts_;
};

}  // namespace tolvarine
