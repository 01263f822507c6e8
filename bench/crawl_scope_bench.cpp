// The crawl's per-link work: a harvested link made followable and given its site key, over
// a page's worth of links (forum threads on a few hosts, images, off-site ads, fragments).
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "engine/crawl_scope.h"

namespace {

std::vector<std::string> PageLinks() {
  std::vector<std::string> links;
  for (int i = 0; i < 1000; ++i) {
    std::string link = "http://bbs" + std::to_string(i % 7) + ".example.com.cn/forum/thread-" +
                       std::to_string(100000 + i) + "-" + std::to_string(i % 13) + "-1.html";
    if (i % 10 == 0) link += "#post" + std::to_string(i);
    if (i % 11 == 0) link = "http://img.example.com.cn/attachments/" + std::to_string(i) + ".jpg";
    if (i % 97 == 0) link = "https://ads.other.test/click?id=" + std::to_string(i);
    links.push_back(link);
  }
  return links;
}

void BM_FollowableAddressAndSiteKey(benchmark::State& state) {
  const tolvarine::RegistrableSites keys;
  const std::vector<std::string> links = PageLinks();
  for (auto _ : state) {
    for (const std::string& link : links) {
      const std::string address = tolvarine::FollowableAddress(link, true);
      if (address.empty()) continue;
      benchmark::DoNotOptimize(keys.ScopeKey(tolvarine::ScopeKind::Site, address));
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(links.size()));
}
BENCHMARK(BM_FollowableAddressAndSiteKey);

// International hosts written in UTF-8 go through the IDNA mapping.
void BM_InternationalHostSiteKey(benchmark::State& state) {
  const tolvarine::RegistrableSites keys;
  const std::string link = "http://论坛.例子.中国/thread-1.html";
  for (auto _ : state) {
    const std::string address = tolvarine::FollowableAddress(link, false);
    benchmark::DoNotOptimize(keys.ScopeKey(tolvarine::ScopeKind::Site, address));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_InternationalHostSiteKey);

}  // namespace
