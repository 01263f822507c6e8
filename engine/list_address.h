#pragma once
// The address a URL list line stands for.
#include <optional>
#include <string>

namespace tolvarine {

// The line up to its first blank. A line without a scheme ("www.example.com/page.html")
// stands for "http://" plus the line, as a browser's address bar takes it. nullopt when
// the line is no address at all: empty, or a web address without a valid host (as
// AddressHost judges it: a host name, an international name or an IP literal, and a
// numeric port if any).
std::optional<std::string> AddressFromListLine(const std::string& line);

}  // namespace tolvarine
