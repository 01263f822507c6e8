// Merge and dedup on 2,000,000 lines (about 100 MB, half of them repeats or case variants,
// some GBK), timed against GNU `sort -f -u` on the same file in the same run; and the URL
// list generator writing 1,000,000 lines.
//
// The merge reports its peak resident memory (the process's high-water mark, reset before
// the run) as counters: peak_MB, and peak_per_input (peak over input size).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <random>
#include <sys/resource.h>
#include <string>
#include <vector>

#include "base/collation.h"
#include "base/gbk.h"
#include "tools/merge_dedup.h"
#include "tools/url_list_generator.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kLines = 2'000'000;

fs::path BenchFolder() {
  static const fs::path folder = [] {
    fs::path p = fs::temp_directory_path() / "tolvarine-merge-bench";
    fs::create_directories(p);
    return p;
  }();
  return folder;
}

std::string RandomWord(std::mt19937& rng, int minLen, int maxLen) {
  std::uniform_int_distribution<int> len(minLen, maxLen);
  std::uniform_int_distribution<int> letter(0, 25);
  std::string w(static_cast<std::size_t>(len(rng)), 'a');
  for (char& c : w) c = static_cast<char>('a' + letter(rng));
  return w;
}

// Distinct lines: mostly addresses, about one in seven with Chinese text; then repeats
// (exact, or with letters in other case) until there are kLines, shuffled.
const fs::path& InputFile() {
  static const fs::path path = [] {
    std::mt19937 rng(20261208);
    const std::vector<std::string> chinese = {tolvarine::Utf8ToGbk("论坛"), tolvarine::Utf8ToGbk("帖子列表"),
                                              tolvarine::Utf8ToGbk("手机号码"), tolvarine::Utf8ToGbk("第页")};
    std::vector<std::string> lines;
    lines.reserve(kLines);
    std::uniform_int_distribution<int> num(0, 999999);
    std::uniform_int_distribution<int> kind(0, 6);
    while (lines.size() < kLines / 2) {
      std::string line;
      if (kind(rng) == 0) {
        line = chinese[static_cast<std::size_t>(num(rng)) % chinese.size()] + RandomWord(rng, 3, 8) +
               " " + chinese[static_cast<std::size_t>(num(rng)) % chinese.size()] +
               std::to_string(num(rng)) + "," + RandomWord(rng, 4, 10);
      } else {
        line = "http://bbs." + RandomWord(rng, 4, 9) + ".com/forum-" + std::to_string(num(rng)) +
               "-" + std::to_string(num(rng) % 500) + "-" + RandomWord(rng, 2, 6) + ".html";
      }
      lines.push_back(std::move(line));
    }
    std::uniform_int_distribution<std::size_t> pick(0, lines.size() - 1);
    std::bernoulli_distribution exact(0.5);
    while (lines.size() < kLines) {
      std::string copy = lines[pick(rng)];
      if (!exact(rng)) {
        for (std::size_t i = 0; i < copy.size(); ++i) {
          const auto c = static_cast<unsigned char>(copy[i]);
          if (c >= 0x80) {
            ++i;  // the two bytes of a Chinese character stay as they are
          } else if (c >= 'a' && c <= 'z' && (rng() & 3) == 0) {
            copy[i] = static_cast<char>(c - 'a' + 'A');
          }
        }
      }
      lines.push_back(std::move(copy));
    }
    std::shuffle(lines.begin(), lines.end(), rng);
    const fs::path file = BenchFolder() / "input.txt";
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines) out << line << "\r\n";
    lines.clear();
    lines.shrink_to_fit();
    malloc_trim(0);  // hand the generator's memory back, so the peak below is the merge's
    return file;
  }();
  return path;
}

long StatusKb(const char* field) {
  std::ifstream in("/proc/self/status");
  std::string line;
  const std::string prefix = std::string(field) + ":";
  while (std::getline(in, line)) {
    if (line.rfind(prefix, 0) == 0) return std::strtol(line.c_str() + prefix.size(), nullptr, 10);
  }
  return -1;
}

double ChildCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void ResetPeakMemory() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
}

void BM_MergeAndDedup(benchmark::State& state) {
  const fs::path input = InputFile();
  const std::string output = (BenchFolder() / "merged.txt").string();
  const double inputMb = static_cast<double>(fs::file_size(input)) / (1 << 20);
  tolvarine::MergeStats stats;
  long peakKb = 0;
  long baseKb = 0;
  for (auto _ : state) {
    ResetPeakMemory();
    baseKb = StatusKb("VmRSS");
    stats = tolvarine::MergeAndDedupFiles({input.string()}, output);
    peakKb = StatusKb("VmHWM");
  }
  state.counters["input_MB"] = inputMb;
  state.counters["lines_out"] = static_cast<double>(stats.linesWritten);
  state.counters["peak_MB"] = static_cast<double>(peakKb) / 1024;
  state.counters["peak_growth_per_input"] = static_cast<double>(peakKb - baseKb) / 1024 / inputMb;
  state.SetLabel("collation " + tolvarine::UserCollator().LocaleName());
}
BENCHMARK(BM_MergeAndDedup)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()  // the sort keys are computed by two threads
    ->Iterations(1)
    ->Repetitions(3);

// GNU sort in the same locale the merge ran in (the environment's; C when none is set).
// The collation falls back to ICU's root order under C, sort to bytes with case folded.
void BM_GnuSortFoldUnique(benchmark::State& state) {
  const fs::path input = InputFile();
  const fs::path output = BenchFolder() / "sorted.txt";
  const char* lcAll = std::getenv("LC_ALL");
  const std::string locale = lcAll && *lcAll ? lcAll : "C";
  const std::string command = "LC_ALL=" + locale + " sort -f -u '" + input.string() + "' -o '" +
                              output.string() + "'";
  const double cpuBefore = ChildCpuSeconds();
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError("sort failed");
  }
  // sort works in several threads of another process: its CPU time is reported apart.
  state.counters["sort_cpu_s"] = ChildCpuSeconds() - cpuBefore;
  std::ifstream in(output, std::ios::binary);
  const auto lines = std::count(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>(), '\n');
  state.counters["lines_out"] = static_cast<double>(lines);
  state.SetLabel("LC_ALL=" + locale);
}
BENCHMARK(BM_GnuSortFoldUnique)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(3);

void BM_GenerateOneCounter(benchmark::State& state) {
  const std::string output = (BenchFolder() / "generated.txt").string();
  const tolvarine::OneCounterFields fields{"http://bbs.example.com/forum-12-", "1", "1000000",
                                           ".html", "1"};
  std::int64_t shown = 0;
  for (auto _ : state) {
    tolvarine::GenerateOneCounterFile(fields, output, [&shown](std::int64_t k) { shown = k; });
  }
  state.counters["lines"] = static_cast<double>(shown);
}
BENCHMARK(BM_GenerateOneCounter)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
