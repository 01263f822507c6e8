// The site key, the rule lines and the link rules against models of their rules, and a
// whole harvest through a fake document: accepted links listed once per page, ignoring
// letter case, the first form met kept.
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "base/collation.h"
#include "base/line_split.h"
#include "engine/link_harvester.h"
#include "engine/page_browser.h"
#include "engine/result_list.h"
#include "fuzz/fuzz_support.h"

namespace {

using tolvarine::fuzz::AsText;

// 1-based Pos and Copy, as the key's derivation is stated in them.
std::size_t Pos(std::string_view needle, std::string_view s) {
  const std::size_t at = s.find(needle);
  return at == std::string_view::npos ? 0 : at + 1;
}
std::string Copy(std::string_view s, std::size_t index, std::size_t count) {
  if (index < 1 || index > s.size()) return {};
  return std::string(s.substr(index - 1, count));
}

std::string ModelSiteKey(std::string_view address) {
  std::string s = Copy(address, Pos("//", address) + 2, 255);
  const std::size_t q = Pos("/", s);
  s = q == 0 ? std::string() : Copy(s, 1, q - 1);
  for (int i = 0; i < 6; ++i) {
    const std::size_t dot = Pos(".", s);
    if (dot > 1) {
      const std::string rest = Copy(s, dot + 1, 255);
      if (Pos(".", rest) > 1) s = rest;
    }
  }
  return s;
}

bool Occurs(std::string_view needle, std::string_view s) {
  return !needle.empty() && s.find(needle) != std::string_view::npos;
}

bool ModelAccepts(std::string_view link, std::string_view key, const tolvarine::LinkRules& r) {
  bool accept = Pos("http://", link) == 1;
  if (r.onlySite && !Occurs(key, link)) accept = false;
  if (r.filter) {
    for (const std::string& rule : r.mustContain)
      if (!Occurs(rule, link)) accept = false;
    for (const std::string& rule : r.mustNotContain)
      if (Occurs(rule, link)) accept = false;
  }
  return accept;
}

class FakeDocument : public tolvarine::PageDocument {
 public:
  explicit FakeDocument(std::vector<std::string> links) : links_(std::move(links)) {}
  int LinksLength() override { return static_cast<int>(links_.size()); }
  std::string LinkItem(int index) override { return links_.at(static_cast<std::size_t>(index)); }
  std::string BodyOuterText() override { throw std::logic_error("not read by the harvester"); }
  std::string BodyOuterHtml() override { throw std::logic_error("not read by the harvester"); }

 private:
  std::vector<std::string> links_;
};

const tolvarine::CaseIgnoringCollator& Collator() {
  static const tolvarine::CaseIgnoringCollator collator("zh_CN");
  return collator;
}

}  // namespace

// Input: flags byte, then parts separated by 0x1E 0x1E: page address, must-contain field,
// must-not-contain field, and the page's links one per line.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t flags = data[0];
  const std::vector<std::string_view> parts = tolvarine::fuzz::SplitParts(AsText(data + 1, size - 1), 4);
  const std::string_view address = parts[0];
  const std::string_view mustContain = parts.size() > 1 ? parts[1] : "";
  const std::string_view mustNotContain = parts.size() > 2 ? parts[2] : "";
  const std::string_view linkText = parts.size() > 3 ? parts[3] : "";

  const std::string key = tolvarine::OnlySiteKey(address);
  FUZZ_CHECK(key == ModelSiteKey(address));

  tolvarine::LinkRules rules;
  rules.onlySite = (flags & 1) != 0;
  rules.filter = (flags & 2) != 0;
  rules.mustContain = tolvarine::RuleLines(mustContain);
  rules.mustNotContain = tolvarine::RuleLines(mustNotContain);
  for (const auto* field : {&mustContain, &mustNotContain}) {
    std::vector<std::string> want;
    for (const std::string& line : tolvarine::SplitLines(*field))
      if (!line.empty()) want.push_back(line.substr(0, 4096));
    FUZZ_CHECK(tolvarine::RuleLines(*field) == want);
  }

  std::vector<std::string> links = tolvarine::SplitLines(linkText);
  if (flags & 4) {
    // Links mostly of the accepted form, so the dedup below gets work.
    for (std::string& link : links) link.insert(0, "http://");
  }

  // Two harvests of the same page: the set of listed links starts afresh on each page.
  const std::string location(address);
  tolvarine::LinkHarvester harvester(Collator());
  tolvarine::ResultList listed;
  int added = 0;
  FakeDocument document(links);
  std::vector<std::string> want;
  for (int page = 0; page < 2; ++page) {
    harvester.Harvest(location, document, rules, listed, [&] { ++added; });
    if (location.empty()) continue;
    std::vector<std::string> seen;
    for (const std::string& link : links) {
      const bool accepted = ModelAccepts(link, key, rules);
      FUZZ_CHECK(tolvarine::AcceptsLink(link, key, rules) == accepted);
      if (!accepted) continue;
      bool repeated = false;
      for (const std::string& s : seen) repeated = repeated || Collator().Compare(s, link) == 0;
      if (repeated) continue;
      seen.push_back(link);
      want.push_back(link);
    }
  }
  FUZZ_CHECK(listed.Rows() == want);
  FUZZ_CHECK(added == listed.Count());
  return 0;
}
