#include "engine/url_key.h"

#include <algorithm>
#include <vector>

#include "base/ascii.h"
#include "engine/crawl_scope.h"

namespace tolvarine {
namespace {

// Query parameters that track a visitor or hold a session, not choose the page.
bool IsTrackingOrSession(std::string_view name) {
  const std::string lowered = AsciiLowered(name);
  return lowered.starts_with("utm_") || lowered == "gclid" || lowered == "fbclid" ||
         lowered == "spm" || lowered == "phpsessid" || lowered == "jsessionid";
}

// The path without its ";jsessionid=..." parameter (up to the next ';' or '/').
std::string PathWithoutSession(std::string_view path) {
  const std::string lowered = AsciiLowered(path);
  const std::size_t start = lowered.find(";jsessionid=");
  if (start == std::string::npos) return std::string(path);
  const std::size_t end = std::min(path.find_first_of(";/", start + 1), path.size());
  return std::string(path.substr(0, start)) + std::string(path.substr(end));
}

// The query's parameters that choose the page, sorted, joined by '&'.
std::string KeptQuery(std::string_view query) {
  std::vector<std::string_view> kept;
  while (!query.empty()) {
    const std::size_t amp = std::min(query.find('&'), query.size());
    const std::string_view parameter = query.substr(0, amp);
    query.remove_prefix(std::min(amp + 1, query.size()));
    if (!parameter.empty() && !IsTrackingOrSession(parameter.substr(0, parameter.find('='))))
      kept.push_back(parameter);
  }
  std::sort(kept.begin(), kept.end());
  std::string joined;
  for (const std::string_view parameter : kept) {
    if (!joined.empty()) joined += '&';
    joined += parameter;
  }
  return joined;
}

}  // namespace

std::string AddressKey(std::string_view address) {
  const std::string origin = AddressOrigin(address);
  if (origin.empty()) return std::string(address.substr(0, address.find('#')));
  const std::string pathAndQuery = AddressPathAndQuery(address);
  const std::size_t question = pathAndQuery.find('?');
  std::string key = origin + PathWithoutSession(pathAndQuery.substr(0, question));
  if (question == std::string::npos) return key;
  const std::string query = KeptQuery(std::string_view(pathAndQuery).substr(question + 1));
  if (!query.empty()) key += '?' + query;
  return key;
}

}  // namespace tolvarine
