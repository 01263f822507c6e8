// Where numbers belong: a million distinct numbers looked up, spread over the whole range
// of mobile numbers so that nearly every one falls in a block of its own (no cache could
// help), and the cost of making the table at the start of a process.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>
#include <unordered_set>
#include <vector>

#include "number_data/block_table.h"

namespace {

const std::vector<std::string>& DistinctNumbers() {
  static const std::vector<std::string> numbers = [] {
    std::mt19937_64 random(42);
    std::unordered_set<std::uint64_t> seen;
    std::vector<std::string> out;
    while (out.size() < 1000000) {
      const std::uint64_t n = 13000000000ULL + random() % 7000000000ULL;
      if (seen.insert(n).second) out.push_back(std::to_string(n));
    }
    return out;
  }();
  return numbers;
}

void BM_EnrichMillionDistinctNumbers(benchmark::State& state) {
  const auto& numbers = DistinctNumbers();
  const tolvarine::BlockTableNumberInfo info;
  for (auto _ : state) {
    std::size_t valid = 0, named = 0;
    for (const std::string& n : numbers) {
      const tolvarine::NumberPlace& place = info.Look(n);
      valid += place.valid;
      named += place.city.size();
    }
    benchmark::DoNotOptimize(valid);
    benchmark::DoNotOptimize(named);
  }
  state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(numbers.size()));
}
BENCHMARK(BM_EnrichMillionDistinctNumbers)->Unit(benchmark::kMillisecond);

void BM_NumberTableStart(benchmark::State& state) {
  for (auto _ : state) {
    tolvarine::BlockTableNumberInfo info;
    benchmark::DoNotOptimize(&info);
  }
}
BENCHMARK(BM_NumberTableStart)->Unit(benchmark::kMillisecond);

}  // namespace
