// A page of 10,000 links harvested under only-this-site and 100 rules of each kind, every
// rule tested for most links (the must-contain rules all occur, the must-not-contain ones
// almost never).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "engine/link_harvester.h"

namespace {

class LinkPage : public tolvarine::PageDocument {
 public:
  LinkPage() {
    for (int i = 0; i < 10000; ++i) {
      std::string link = "http://bbs" + std::to_string(i % 7) + ".example.com/forum/thread-" +
                         std::to_string(100000 + i) + "-" + std::to_string(i % 13) + "-1.html";
      if (i % 10 == 0) link += "#post" + std::to_string(i);
      if (i % 97 == 0) link = "http://ads.other.test/click?id=" + std::to_string(i);
      links_.push_back(link);
    }
  }
  int LinksLength() override { return static_cast<int>(links_.size()); }
  std::string LinkItem(int i) override { return links_[static_cast<std::size_t>(i)]; }
  std::string BodyOuterText() override { return {}; }
  std::string BodyOuterHtml() override { return {}; }

 private:
  std::vector<std::string> links_;
};

void BM_HarvestTenThousandLinks(benchmark::State& state) {
  LinkPage page;
  tolvarine::LinkRules rules;
  rules.onlySite = true;
  rules.filter = true;
  // 100 different pieces of the part every site link shares.
  const std::string shared = ".example.com/forum/thread-";
  for (std::size_t length = 3; rules.mustContain.size() < 100; ++length)
    for (std::size_t at = 0; at + length <= shared.size() && rules.mustContain.size() < 100; at += 2)
      rules.mustContain.push_back(shared.substr(at, length));
  for (int i = 0; i < 100; ++i) {
    rules.mustNotContain.push_back(i == 0 ? std::string("#") : "banned-word-" + std::to_string(i));
  }
  tolvarine::LinkHarvester harvester(tolvarine::UserCollator());
  int listed = 0;
  for (auto _ : state) {
    tolvarine::ResultList links;
    harvester.Harvest("http://bbs1.example.com/forum/index.html", page, rules, links, nullptr);
    listed = links.Count();
    benchmark::DoNotOptimize(listed);
  }
  state.counters["listed"] = listed;
}
BENCHMARK(BM_HarvestTenThousandLinks)->Unit(benchmark::kMillisecond);

}  // namespace
