#include "engine/list_address.h"

#include <string_view>

#include "base/ascii.h"

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

// The host part after "scheme://" (to the first '/', '?' or '#', port included) is there
// and holds only what a host name, an IP literal and a port may hold. Bytes above 0x7F
// pass: an international name is the browser's to encode.
bool HasHost(std::string_view afterScheme) {
  if (!afterScheme.starts_with("//")) return false;
  const std::string_view rest = afterScheme.substr(2);
  const std::string_view host = rest.substr(0, rest.find_first_of("/?#"));
  const std::string_view name = host.substr(host.find('@') == std::string_view::npos
                                                ? 0
                                                : host.rfind('@') + 1);
  if (name.empty()) return false;
  for (const char c : name) {
    const bool allowed = IsAsciiLetter(c) || IsAsciiDigit(c) || c == '.' || c == '-' ||
                         c == '_' || c == ':' || c == '[' || c == ']' ||
                         static_cast<unsigned char>(c) >= 0x80;
    if (!allowed) return false;
  }
  return true;
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
  if (IsWebScheme(view.substr(0, scheme)) && !HasHost(view.substr(scheme + 1)))
    return std::nullopt;
  return address;
}

}  // namespace tolvarine
