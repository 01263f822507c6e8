// The crawl frontier at a million addresses: queueing them (a commit every 100, as a walk
// commits once a page), asking for a million that are queued already (the links every page
// repeats), and taking them from the queue; and what memory the store adds meanwhile
// (VmRSS growth, in the counter rss_mb).
#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

#include "engine/crawl_frontier_store.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr int kAddresses = 1000000;

std::string Address(int i) {
  return "http://www.site" + std::to_string(i % 97) + ".example.com.cn/forum/thread-" +
         std::to_string(i) + "-1-1.html";
}

long long RssKb() {
  std::ifstream status("/proc/self/status");
  std::string key;
  long long kb = 0;
  while (status >> key) {
    if (key == "VmRSS:") {
      status >> kb;
      return kb;
    }
    status.ignore(4096, '\n');
  }
  return 0;
}

void BM_FrontierMillionAddresses(benchmark::State& state) {
  for (auto _ : state) {
    tolvarine::testing::TempFolder folder;
    const long long before = RssKb();
    long long peak = before;
    {
      tolvarine::CrawlFrontierStore store(folder.PathOf("crawl.db"));
      for (int i = 0; i < kAddresses; ++i) {
        store.Enqueue({Address(i), 1, 1 + i / 1000, "http://www.site.example.com.cn/"}, 0);
        if (i % 100 == 99) store.Commit();
      }
      store.Commit();
      peak = std::max(peak, RssKb());
      for (int i = 0; i < kAddresses; ++i) {
        benchmark::DoNotOptimize(store.Enqueue({Address(i), 2, 1, ""}, 0));
        if (i % 100 == 99) store.Commit();
      }
      peak = std::max(peak, RssKb());
      for (int i = 0; i < kAddresses; ++i) {
        benchmark::DoNotOptimize(store.Front());
        store.PopFront();
        if (i % 100 == 99) store.Commit();
      }
      store.Commit();
      peak = std::max(peak, RssKb());
    }
    state.counters["rss_mb"] = static_cast<double>(peak - before) / 1024.0;
  }
  state.SetItemsProcessed(state.iterations() * 3LL * kAddresses);
}
BENCHMARK(BM_FrontierMillionAddresses)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
