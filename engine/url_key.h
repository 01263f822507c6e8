#pragma once
// The key that tells whether two addresses stand for the same page, as a crawl decides
// "already seen": addresses that differ only in what does not choose the page share it.
#include <string>
#include <string_view>

namespace tolvarine {

// The address's key: scheme and host lower-cased (an international host in punycode), the
// scheme's default port, the userinfo and the fragment dropped, an empty path made "/";
// session ids dropped (";jsessionid=..." in the path, and jsessionid or PHPSESSID in the
// query); tracking parameters dropped (utm_*, gclid, fbclid, spm; names compared ignoring
// case); the remaining query parameters sorted, and the "?" dropped when none is left. An
// address without "scheme://host" is its own key, the fragment dropped. Only the key is
// compared: the browser still loads the address as written.
std::string AddressKey(std::string_view address);

}  // namespace tolvarine
