// 1,000,000 candidate numbers deduplicated against a phone list of 1,000,000 rows: half of
// the candidates are listed already, half are new and get appended.
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <memory>
#include <string>

#include "engine/phone_extractor.h"

namespace {

double ThreadCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

std::string NumberOf(std::uint64_t i) {
  std::string digits = std::to_string(i);
  return "138" + std::string(8 - digits.size(), '0') + digits;
}

void BM_DedupMillionAgainstMillion(benchmark::State& state) {
  tolvarine::ResultList listed;
  for (std::uint64_t i = 0; i < 1000000; ++i) listed.Append(NumberOf(i * 2));
  std::string text;  // candidates: even numbers are listed, odd ones are new
  text.reserve(1000000 * 13);
  for (std::uint64_t i = 0; i < 1000000; ++i) {
    text += NumberOf(i * 7 % 2000000);
    text += "\r\n";
  }
  const std::vector<std::string> prefixes{"13", "15", "18"};
  for (auto _ : state) {
    // Only the dedup run is timed, not the copy of the list nor its release.
    auto phones = std::make_unique<tolvarine::ResultList>(listed);
    const double cpuBegin = ThreadCpuSeconds();
    const auto begin = std::chrono::steady_clock::now();
    tolvarine::ExtractPhonesFromTexts({text}, prefixes, true, *phones, nullptr);
    const auto end = std::chrono::steady_clock::now();
    state.SetIterationTime(std::chrono::duration<double>(end - begin).count());
    // The processor time of the run, which a busy machine does not inflate.
    state.counters["run_cpu_ms"] = (ThreadCpuSeconds() - cpuBegin) * 1000;
    state.counters["rows"] = phones->Count();
  }
  state.SetItemsProcessed(state.iterations() * 1000000);
}
BENCHMARK(BM_DedupMillionAgainstMillion)->Unit(benchmark::kMillisecond)->Iterations(3)->UseManualTime();

}  // namespace
