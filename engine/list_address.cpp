#include "engine/list_address.h"

#include <string_view>

#include "base/ascii.h"
#include "engine/crawl_scope.h"

namespace tolvarine {
namespace {

// The scheme's length when the address starts with one ("http:", "about:", ...), else 0.
// A drive letter or a host with a port ("example.com:8080/") is no scheme.
std::size_t SchemeLength(std::string_view address) {
  if (address.empty() || !IsAsciiLetter(address[0])) return 0;
  std::size_t i = 1;
  while (i < address.size() && (IsAsciiLetter(address[i]) || IsAsciiDigit(address[i]) ||
                                address[i] == '+' || address[i] == '-'))
    ++i;
  if (i < 2 || i >= address.size() || address[i] != ':') return 0;
  const std::string_view rest = address.substr(i + 1);
  // "host:80" is a port, not a scheme.
  if (!rest.empty() && IsAsciiDigit(rest[0])) return 0;
  return i;
}

bool IsWebScheme(std::string_view scheme) {
  return EqualsIgnoringAsciiCase(scheme, "http") || EqualsIgnoringAsciiCase(scheme, "https");
}

}  // namespace

std::optional<std::string> AddressFromListLine(const std::string& line) {
  std::string address = line.substr(0, line.find(' '));
  if (address.empty()) return std::nullopt;
  std::size_t scheme = SchemeLength(address);
  if (scheme == 0) {
    address.insert(0, "http://");
    scheme = 4;
  }
  const std::string_view view(address);
  if (IsWebScheme(view.substr(0, scheme)) && HostOf(view).empty()) return std::nullopt;
  return address;
}

}  // namespace tolvarine
