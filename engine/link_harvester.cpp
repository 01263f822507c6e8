#include "engine/link_harvester.h"

#include <algorithm>

#include "base/line_split.h"

namespace tolvarine {
namespace {

constexpr std::size_t kRuleLineLimit = 4096;
constexpr std::size_t kKeyCopyLimit = 255;

// A text occurs in another when it is a substring of it; the empty text occurs in none.
bool Occurs(std::string_view needle, std::string_view haystack) {
  return !needle.empty() && haystack.find(needle) != std::string_view::npos;
}

std::string_view CopyFrom(std::string_view s, std::size_t index, std::size_t count) {
  if (index >= s.size()) return {};
  return s.substr(index, count);
}

}  // namespace

std::vector<std::string> RuleLines(std::string_view fieldText) {
  std::vector<std::string> lines;
  for (std::string_view line : SplitLineViews(fieldText))
    if (!line.empty()) lines.emplace_back(line.substr(0, kRuleLineLimit));
  return lines;
}

std::string OnlySiteKey(std::string_view address) {
  const std::size_t slashes = address.find("//");
  // Without "//" the copy starts at the second character, as from position 0 + 2.
  std::string_view s = CopyFrom(address, slashes == std::string_view::npos ? 1 : slashes + 2,
                                kKeyCopyLimit);
  const std::size_t slash = s.find('/');
  s = slash == std::string_view::npos ? std::string_view{} : s.substr(0, slash);
  for (int i = 0; i < 6; ++i) {
    const std::size_t dot = s.find('.');
    if (dot == std::string_view::npos || dot == 0) continue;
    const std::string_view rest = CopyFrom(s, dot + 1, kKeyCopyLimit);
    const std::size_t nextDot = rest.find('.');
    if (nextDot != std::string_view::npos && nextDot > 0) s = rest;
  }
  return std::string(s);
}

// Every rule is a pure test, so stopping at the first failing one gives the same answer
// as testing all of them.
bool AcceptsLink(std::string_view link, std::string_view siteKey, const LinkRules& rules) {
  constexpr std::string_view kHttp = "http://";
  constexpr std::string_view kHttps = "https://";
  if (!link.starts_with(kHttp) && !(rules.https && link.starts_with(kHttps))) return false;
  if (rules.onlySite && !Occurs(siteKey, link)) return false;
  if (rules.filter) {
    for (const std::string& rule : rules.mustNotContain)
      if (Occurs(rule, link)) return false;
    for (const std::string& rule : rules.mustContain) {
      if (Occurs(rule, link)) continue;
      if (!rules.https || !std::string_view(rule).starts_with(kHttp)) return false;
      const std::string secure = std::string(kHttps) + rule.substr(kHttp.size());
      if (!Occurs(secure, link)) return false;
    }
  }
  return true;
}

LinkHarvester::LinkHarvester(const CaseIgnoringCollator& collator) : collator_(collator) {}

void LinkHarvester::Harvest(const std::string& location, PageDocument& document,
                            const LinkRules& rules, ResultList& links,
                            const std::function<void()>& onAdded) {
  std::vector<std::string> found;
  Harvest(location, document, rules, found);
  for (const std::string& link : found) {
    links.Append(link);
    if (onAdded) onAdded();
  }
}

void LinkHarvester::Harvest(const std::string& location, PageDocument& document,
                            const LinkRules& rules, std::vector<std::string>& links) {
  if (location.empty()) return;
  const std::string key = OnlySiteKey(location);
  pageLinks_.clear();
  const int n = document.LinksLength();
  for (int i = 0; i < n; ++i) {
    const std::string link = document.LinkItem(i);
    if (!AcceptsLink(link, key, rules)) continue;
    if (!pageLinks_.insert(collator_.SortKey(link)).second) continue;
    links.push_back(link);
  }
}

}  // namespace tolvarine
