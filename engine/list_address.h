#pragma once
// The address a URL list line stands for.
#include <optional>
#include <string>

namespace tolvarine {

// The line up to its first blank. A line without a scheme ("www.example.com/page.html")
// stands for "http://" plus the line, as a browser's address bar takes it. nullopt when
// the line is no address at all: empty, or a web address without a valid host (HostOf
// empty: none, characters no host name has, or a port that is no port number).
std::optional<std::string> AddressFromListLine(const std::string& line);

}  // namespace tolvarine
