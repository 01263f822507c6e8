#include "engine/list_address.h"

#include <algorithm>
#include <string_view>

#include "base/ascii.h"
#include "base/gbk.h"
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

// An address written in UTF-8 with characters GBK cannot hold: the host in its ASCII form,
// every other byte beyond ASCII percent-encoded.
std::string AsciiAddress(std::string_view address) {
  const std::size_t slashes = address.find("://");
  const std::size_t hostStart = slashes == std::string_view::npos ? 0 : slashes + 3;
  const std::size_t authorityEnd =
      std::min(address.find_first_of("/?#", hostStart), address.size());
  const std::size_t at = address.substr(0, authorityEnd).rfind('@');
  const std::size_t start = at == std::string_view::npos || at < hostStart ? hostStart : at + 1;
  const std::size_t end = std::min(address.find(':', start), authorityEnd);
  std::string host = HostOf("http://" + std::string(address.substr(start, end - start)));
  if (host.empty()) host = address.substr(start, end - start);
  std::string ascii;
  const auto append = [&ascii](std::string_view part) {
    for (const char c : part) {
      if ((c & 0x80) == 0) {
        ascii += c;
        continue;
      }
      constexpr char kHex[] = "0123456789ABCDEF";
      const auto byte = static_cast<unsigned char>(c);
      ascii += '%';
      ascii += kHex[byte >> 4];
      ascii += kHex[byte & 0x0F];
    }
  };
  append(address.substr(0, start));
  ascii += host;
  append(address.substr(end));
  return ascii;
}

}  // namespace

std::string ListLineFromUtf8(std::string_view utf8) {
  std::string gbk = Utf8ToGbk(utf8);
  if (GbkToUtf8(gbk) == utf8) return gbk;
  const std::size_t blank = std::min(utf8.find(' '), utf8.size());
  return AsciiAddress(utf8.substr(0, blank)) + Utf8ToGbk(utf8.substr(blank));
}

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
