#include "engine/crawl_scope.h"

#include <libpsl.h>
#include <unicode/uidna.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <memory>

#include "base/ascii.h"
#include "base/errors.h"
#include "engine/list_address.h"
#include "base/gbk.h"
#include "base/number_text.h"

namespace tolvarine {
namespace {

// The pieces of "scheme://[userinfo@]host[:port][path][?query][#fragment]", as written;
// nullopt when the address has no "//" after its scheme or its port is no port number.
struct AddressParts {
  std::string_view scheme;
  std::string_view userinfo;  // with its '@'; empty when there is none
  std::string_view host;      // an IPv6 literal with its brackets
  std::string_view port;      // digits only; empty when there is none
  std::string_view pathAndQuery;
};

std::optional<AddressParts> SplitAddress(std::string_view address) {
  const std::size_t colon = address.find(':');
  if (colon == std::string_view::npos || colon == 0 || !IsAsciiLetter(address[0]))
    return std::nullopt;
  AddressParts parts;
  parts.scheme = address.substr(0, colon);
  for (const char c : parts.scheme)
    if (!IsAsciiLetter(c) && !IsAsciiDigit(c) && c != '+' && c != '-' && c != '.')
      return std::nullopt;
  std::string_view rest = address.substr(colon + 1);
  if (!rest.starts_with("//")) return std::nullopt;
  rest.remove_prefix(2);
  rest = rest.substr(0, rest.find('#'));
  const std::size_t authorityEnd = std::min(rest.find_first_of("/?"), rest.size());
  std::string_view authority = rest.substr(0, authorityEnd);
  parts.pathAndQuery = rest.substr(authorityEnd);
  const std::size_t at = authority.rfind('@');
  if (at != std::string_view::npos) {
    parts.userinfo = authority.substr(0, at + 1);
    authority.remove_prefix(at + 1);
  }
  std::size_t hostEnd = 0;
  if (authority.starts_with('[')) {
    hostEnd = authority.find(']');
    if (hostEnd == std::string_view::npos) return std::nullopt;
    ++hostEnd;
  } else {
    hostEnd = std::min(authority.find(':'), authority.size());
  }
  parts.host = authority.substr(0, hostEnd);
  const std::string_view afterHost = authority.substr(hostEnd);
  if (!afterHost.empty()) {
    if (afterHost[0] != ':') return std::nullopt;
    parts.port = afterHost.substr(1);
    if (parts.port.size() > 5 || !std::all_of(parts.port.begin(), parts.port.end(), IsAsciiDigit))
      return std::nullopt;
    if (!parts.port.empty() && !ParseDecimal(parts.port, 0, 65535)) return std::nullopt;
  }
  return parts;
}

// The process's one UTS #46 converter, the mapping browsers apply to host names.
const UIDNA* HostNameConverter() {
  static const std::unique_ptr<UIDNA, void (*)(UIDNA*)> converter = [] {
    UErrorCode error = U_ZERO_ERROR;
    UIDNA* idna = uidna_openUTS46(
        UIDNA_NONTRANSITIONAL_TO_ASCII | UIDNA_CHECK_BIDI | UIDNA_CHECK_CONTEXTJ, &error);
    return std::unique_ptr<UIDNA, void (*)(UIDNA*)>(U_SUCCESS(error) ? idna : nullptr,
                                                    uidna_close);
  }();
  return converter.get();
}

// A UTF-8 international host name in punycode; nullopt when it is no valid name.
std::optional<std::string> PunycodeFromUtf8(std::string_view host) {
  const UIDNA* converter = HostNameConverter();
  if (converter == nullptr || host.size() > 1024) return std::nullopt;
  std::array<char, 1024> buffer{};
  UIDNAInfo info = UIDNA_INFO_INITIALIZER;
  UErrorCode error = U_ZERO_ERROR;
  const int32_t length =
      uidna_nameToASCII_UTF8(converter, host.data(), static_cast<int32_t>(host.size()),
                             buffer.data(), static_cast<int32_t>(buffer.size()), &info, &error);
  if (U_FAILURE(error) || info.errors != 0) return std::nullopt;
  return std::string(buffer.data(), static_cast<std::size_t>(length));
}

// An international host name in punycode, read as UTF-8 (as browsers write it) or else as
// GBK (as the list file and the engine's texts hold it); nullopt when it is no valid name.
std::optional<std::string> PunycodeHost(std::string_view host) {
  if (std::optional<std::string> name = PunycodeFromUtf8(host)) return name;
  if (!IsValidGbk(host)) return std::nullopt;
  return PunycodeFromUtf8(GbkToUtf8(host));
}

bool IsHostNameByte(char c) {
  return IsAsciiLetter(c) || IsAsciiDigit(c) || c == '.' || c == '-' || c == '_';
}

// A host as written, lower-cased (punycode for an international name); nullopt when it is
// empty or holds what no host name or IP literal holds.
std::optional<std::string> CanonicalHost(std::string_view host) {
  if (host.empty()) return std::nullopt;
  if (host.front() == '[') {
    const std::string_view inside = host.substr(1, host.size() - 2);
    if (inside.empty() || !std::all_of(inside.begin(), inside.end(), [](char c) {
          return HexDigit(c) >= 0 || c == ':' || c == '.';
        }))
      return std::nullopt;
    return AsciiLowered(host);
  }
  std::optional<std::string> name;
  if (std::any_of(host.begin(), host.end(), [](char c) { return (c & 0x80) != 0; }))
    name = PunycodeHost(host);
  else
    name = AsciiLowered(host);
  // Every label has a name; only the root's may be empty (a trailing dot).
  if (!name || name->empty() || name->front() == '.' || name->find("..") != std::string::npos ||
      !std::all_of(name->begin(), name->end(), IsHostNameByte))
    return std::nullopt;
  return name;
}

bool IsDefaultPort(std::string_view scheme, std::string_view port) {
  return port.empty() || (scheme == "http" && port == "80") ||
         (scheme == "https" && port == "443");
}

// Extensions of files a browser does not show as a page: images, archives, documents,
// media, programs, fonts, style sheets and scripts. Sorted for binary search.
constexpr std::string_view kNonPageExtensions[] = {
    "3gp", "7z", "aac", "apk", "arj", "avi", "avif", "bin", "bmp", "bz2", "cab", "chm",
    "css", "deb", "dmg", "doc", "docx", "eot", "epub", "exe", "flac", "flv", "gif", "gz",
    "heic", "ico", "img", "ipa", "iso", "jar", "jpeg", "jpg", "js", "lzh", "m4a", "m4v",
    "mid", "midi", "mjs", "mkv", "mov", "mp3", "mp4", "mpeg", "mpg", "msi", "odp", "ods",
    "odt", "ogg", "otf", "pdf", "png", "ppt", "pptx", "psd", "rar", "rm", "rmvb", "rpm",
    "rtf", "svg", "swf", "tar", "tgz", "tif", "tiff", "torrent", "ttf", "wav", "webm",
    "webp", "wma", "wmv", "woff", "woff2", "wps", "xls", "xlsx", "xz", "z", "zip",
};
static_assert(std::is_sorted(std::begin(kNonPageExtensions), std::end(kNonPageExtensions)));
constexpr std::size_t kLongestExtension = [] {
  std::size_t longest = 0;
  for (const std::string_view extension : kNonPageExtensions)
    longest = std::max(longest, extension.size());
  return longest;
}();

// The file named by the path's last segment is no page by its extension ("/a/b.JPG";
// "/dir.pdf/" and "/page.php?f=a.jpg" are pages). Matrix parameters (";jsessionid=")
// do not count.
bool IsNonPagePath(std::string_view pathAndQuery) {
  std::string_view path = pathAndQuery.substr(0, pathAndQuery.find('?'));
  path = path.substr(path.rfind('/') + 1);
  path = path.substr(0, path.find(';'));
  const std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos) return false;
  const std::string_view extension = path.substr(dot + 1);
  if (extension.empty() || extension.size() > kLongestExtension) return false;
  std::array<char, kLongestExtension> lowered{};
  for (std::size_t i = 0; i < extension.size(); ++i) lowered[i] = AsciiLower(extension[i]);
  const std::string_view key(lowered.data(), extension.size());
  return std::binary_search(std::begin(kNonPageExtensions), std::end(kNonPageExtensions), key);
}

bool HasBlankOrControl(std::string_view s) {
  return std::any_of(s.begin(), s.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= 0x20 || byte == 0x7F;
  });
}

// The last label is all digits: an IPv4 address (browsers write every IPv4 form dotted).
bool IsIpAddress(std::string_view host) {
  if (host.starts_with('[')) return true;
  const std::string_view last = host.substr(host.rfind('.') + 1);
  return !last.empty() && std::all_of(last.begin(), last.end(), IsAsciiDigit);
}

}  // namespace

std::optional<ScopeKind> ScopeKindFromName(std::string_view name) {
  if (name == "site") return ScopeKind::Site;
  if (name == "host") return ScopeKind::Host;
  return std::nullopt;
}

std::string FollowableAddress(std::string_view link, bool httpsAllowed) {
  if (HasBlankOrControl(link)) return {};
  const std::optional<AddressParts> parts = SplitAddress(link);
  if (!parts) return {};
  const std::string scheme = AsciiLowered(parts->scheme);
  if (scheme != "http" && !(httpsAllowed && scheme == "https")) return {};
  const std::optional<std::string> host = CanonicalHost(parts->host);
  if (!host || IsNonPagePath(parts->pathAndQuery)) return {};
  std::string address = scheme;
  address += "://";
  address += parts->userinfo;
  address += *host;
  if (!IsDefaultPort(scheme, parts->port)) {
    address += ':';
    address += parts->port;
  }
  if (!parts->pathAndQuery.starts_with('/')) address += '/';
  address += parts->pathAndQuery;
  return address;
}

std::string HostOf(std::string_view address) {
  const std::optional<AddressParts> parts = SplitAddress(address);
  if (!parts) return {};
  return CanonicalHost(parts->host).value_or(std::string());
}

std::string HostShown(std::string_view host) {
  const std::string lowered = AsciiLowered(host);
  const UIDNA* converter = HostNameConverter();
  if (lowered.find("xn--") == std::string::npos || converter == nullptr || host.size() > 1024)
    return std::string(host);
  std::array<char, 1024> buffer{};
  UIDNAInfo info = UIDNA_INFO_INITIALIZER;
  UErrorCode error = U_ZERO_ERROR;
  const int32_t length =
      uidna_nameToUnicodeUTF8(converter, lowered.data(), static_cast<int32_t>(lowered.size()),
                              buffer.data(), static_cast<int32_t>(buffer.size()), &info, &error);
  if (U_FAILURE(error) || info.errors != 0) return std::string(host);
  const std::string_view utf8(buffer.data(), static_cast<std::size_t>(length));
  std::string gbk = Utf8ToGbk(utf8);
  return GbkToUtf8(gbk) == utf8 ? gbk : std::string(host);
}

std::string AddressOrigin(std::string_view address) {
  const std::optional<AddressParts> parts = SplitAddress(address);
  if (!parts) return {};
  const std::optional<std::string> host = CanonicalHost(parts->host);
  if (!host) return {};
  const std::string scheme = AsciiLowered(parts->scheme);
  std::string origin = scheme + "://" + *host;
  if (!IsDefaultPort(scheme, parts->port)) {
    origin += ':';
    origin += parts->port;
  }
  return origin;
}

std::string AddressPathAndQuery(std::string_view address) {
  const std::optional<AddressParts> parts = SplitAddress(address);
  const std::string_view pathAndQuery = parts ? parts->pathAndQuery : std::string_view{};
  if (pathAndQuery.starts_with('/')) return std::string(pathAndQuery);
  return "/" + std::string(pathAndQuery);
}

RegistrableSites::RegistrableSites() : psl_(psl_latest(nullptr)) {
  if (psl_ == nullptr)
    throw ScopeError(std::string("The Public Suffix List could not be loaded from ") +
                     (psl_dist_filename() ? psl_dist_filename() : "the system") +
                     " and libpsl has none built in");
}

RegistrableSites::~RegistrableSites() { psl_free(psl_); }

std::string RegistrableSites::SiteOfHost(std::string_view host) const {
  std::string name(host);
  if (name.ends_with('.')) name.pop_back();
  if (name.empty() || IsIpAddress(name)) return name;
  const char* domain = psl_registrable_domain(psl_, name.c_str());
  return domain == nullptr ? name : std::string(domain);
}

std::string RegistrableSites::SiteOf(std::string_view address) const {
  const std::string host = HostOf(address);
  return host.empty() ? host : SiteOfHost(host);
}

std::string RegistrableSites::ScopeKey(ScopeKind kind, std::string_view address) const {
  return kind == ScopeKind::Host ? HostOf(address) : SiteOf(address);
}

int ShardOfKey(std::string_view key, int shardCount) {
  if (shardCount < 2) return 0;
  std::uint64_t hash = 14695981039346656037ULL;
  for (const char c : key) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ULL;
  }
  return static_cast<int>(hash % static_cast<std::uint64_t>(shardCount));
}

int ShardOfListLine(std::string_view line, int position, int shardCount,
                    const RegistrableSites* sites, ScopeKind scope) {
  if (shardCount < 2) return 0;
  const std::optional<std::string> address =
      sites ? AddressFromListLine(std::string(line)) : std::nullopt;
  return address ? ShardOfKey(sites->ScopeKey(scope, *address), shardCount)
                 : (position - 1) % shardCount;
}

}  // namespace tolvarine
