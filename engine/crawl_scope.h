#pragma once
// Which harvested links a crawl follows, and which site or host each address belongs to.
#include <optional>
#include <string>
#include <string_view>

struct psl_ctx_st;

namespace tolvarine {

// How far a crawl strays from a page: to any host of the same registrable domain (Site),
// or only to the same host (Host).
enum class ScopeKind { Site, Host };

// "site" or "host" -> kind; anything else: nullopt.
std::optional<ScopeKind> ScopeKindFromName(std::string_view name);

// A harvested link as the crawl queues it: "http://" (and "https://" when httpsAllowed)
// addresses with a valid host; the fragment removed; scheme and host lower-cased (an
// international host in its punycode form), the scheme's default port dropped, an empty
// path made "/"; userinfo, path and query kept as they are. Empty when the link is not to be
// followed: another scheme, no valid host, blanks or control characters in it, or a file
// that is no page by its path's extension (an image, archive, document, media file,
// program, font, style sheet or script; the query does not count).
std::string FollowableAddress(std::string_view link, bool httpsAllowed);

// The host of an address ("scheme://[userinfo@]host[:port]..."), lower-cased, without
// port, userinfo, path, query or fragment; an IPv6 literal keeps its brackets ("[::1]"), an
// international name (UTF-8, else GBK) comes in punycode. Empty when the address has no
// valid host. The one rule for a page's host: the page log's site column, a list line's
// host check and the crawl's scope all use it.
std::string HostOf(std::string_view address);

// A host as HostOf gives it, as people read it: an international name in Unicode (GBK). The
// host as given when it has no punycode label, is no valid name, or holds characters GBK
// cannot hold.
std::string HostShown(std::string_view host);

// "scheme://host[:port]" of an address, lower-cased, the default port left out: where its
// robots.txt lives. Empty when the address has no valid host.
std::string AddressOrigin(std::string_view address);

// The path and query of an address ("/" when the path is empty), the fragment dropped:
// what robots rules judge. "/" for an address without "scheme://host".
std::string AddressPathAndQuery(std::string_view address);

// Which hosts are one site, by the Public Suffix List (libpsl with the system's list, or
// the one built into libpsl when that is newer). One object per walk; its questions may be
// asked from any thread.
class RegistrableSites {
 public:
  // Throws ScopeError naming the list file when no list can be loaded.
  RegistrableSites();
  ~RegistrableSites();
  RegistrableSites(const RegistrableSites&) = delete;
  RegistrableSites& operator=(const RegistrableSites&) = delete;

  // The registrable site (domain) of a host as HostOf gives it: "www.example.com.cn" and
  // "bbs.example.com.cn" -> "example.com.cn", while "a.com.cn" and "b.com.cn" differ. A
  // host with none (an IP address, a public suffix itself, "localhost", a single label) is
  // its own site. A trailing dot is dropped.
  std::string SiteOfHost(std::string_view host) const;
  // The registrable site of an address's host; empty when the address has no valid host.
  std::string SiteOf(std::string_view address) const;

  // The scope key of an address: its site (Site) or its host (Host). Empty when the
  // address has no valid host.
  std::string ScopeKey(ScopeKind kind, std::string_view address) const;

 private:
  psl_ctx_st* psl_;
};

// Which of `shardCount` shards a scope key belongs to: FNV-1a (64 bits) of the key's bytes
// modulo the count, the same on every machine and build. 0 when the count is below 2.
int ShardOfKey(std::string_view key, int shardCount);

// Which of `shardCount` shards list line `position` (from 1) belongs to. With links followed
// (`sites` given) an address's line goes by its scope key, so that one site stays in one
// shard; any other line goes by its position, in turn.
int ShardOfListLine(std::string_view line, int position, int shardCount,
                    const RegistrableSites* sites, ScopeKind scope);

}  // namespace tolvarine
