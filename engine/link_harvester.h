#pragma once
// Keeps the "http://" links of a loaded page (and "https://" ones when asked) that pass the only-this-site rule and the
// must-contain / must-not-contain rules, and lists each new one once per page.
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "base/collation.h"
#include "engine/page_browser.h"
#include "engine/result_list.h"

namespace tolvarine {

struct LinkRules {
  bool onlySite = false;
  bool filter = false;
  // Also keep "https://" links; a must-contain line beginning with "http://" is then
  // satisfied by the same text with "https://" as well.
  bool https = false;
  // Non-empty rule lines, each at most 4096 bytes.
  std::vector<std::string> mustContain;
  std::vector<std::string> mustNotContain;
};

// The lines of a rule field (split as the field's lines), each cut to its first 4096 bytes;
// empty lines are left out (an empty rule tests nothing).
std::vector<std::string> RuleLines(std::string_view fieldText);

// The text the "only this site" rule looks for in a link (containment, not a host
// match): the page address's text after "//" up to the next "/", with leading labels
// stripped (at most 6) while at least two labels remain; empty when no "/" follows.
// Not a host (HostOf) nor a registrable site (RegistrableSites).
std::string OnlySiteKey(std::string_view address);

// True when the link passes the rules (the site key is only used with onlySite).
bool AcceptsLink(std::string_view link, std::string_view siteKey, const LinkRules& rules);

class LinkHarvester {
 public:
  explicit LinkHarvester(const CaseIgnoringCollator& collator);

  // Harvests the document loaded at `location`: appends each accepted link not yet seen on
  // this page (ignoring letter case) to `links` and calls onAdded after each row. An empty
  // location harvests nothing. Failures of the document propagate.
  void Harvest(const std::string& location, PageDocument& document, const LinkRules& rules,
               ResultList& links, const std::function<void()>& onAdded);
  // The same, the links added to the end of `links`.
  void Harvest(const std::string& location, PageDocument& document, const LinkRules& rules,
               std::vector<std::string>& links);

 private:
  const CaseIgnoringCollator& collator_;
  std::unordered_set<std::string> pageLinks_;  // sort keys of the links listed for this page
};

}  // namespace tolvarine
