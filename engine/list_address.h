#pragma once
// The address a URL list line stands for.
#include <optional>
#include <string>
#include <string_view>

namespace tolvarine {

// The line up to its first blank. A line without a scheme ("www.example.com/page.html")
// stands for "http://" plus the line, as a browser's address bar takes it. nullopt when
// the line is no address at all: empty, or a web address without a valid host (HostOf
// empty: none, characters no host name has, or a port that is no port number).
std::optional<std::string> AddressFromListLine(const std::string& line);

// A line of a UTF-8 list file as the engine holds it, in GBK. A character GBK cannot hold
// turns the address's host into its ASCII form and is percent-encoded (UTF-8) elsewhere in
// the address, as a browser sends it; after the address it becomes "?".
std::string ListLineFromUtf8(std::string_view utf8);

}  // namespace tolvarine
