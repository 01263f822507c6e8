// Speed of the base helpers on the sizes the program meets: a URL list of a million
// lines, 64 MiB of page text, and the line comparisons of the merge tool.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include <stdlib.h>
#include <unistd.h>

#include "base/atomic_file.h"
#include "base/collation.h"
#include "base/line_reader.h"
#include "base/line_split.h"
#include "base/number_text.h"

namespace {

std::string MillionLineFile() {
  static std::string path = [] {
    char pattern[] = "/tmp/tolvarine-bench-XXXXXX";
    int fd = mkstemp(pattern);
    close(fd);
    std::string text;
    for (int i = 0; i < 1000000; ++i) text += "http://www.example.com/page" + std::to_string(i) + ".htm\r\n";
    tolvarine::ReplaceFileAtomically(pattern, text);
    std::atexit([] { unlink(path.c_str()); });
    return std::string(pattern);
  }();
  return path;
}

void BM_CountLinesMillion(benchmark::State& state) {
  std::string path = MillionLineFile();
  for (auto _ : state) benchmark::DoNotOptimize(tolvarine::CountLines(path));
}
BENCHMARK(BM_CountLinesMillion)->Unit(benchmark::kMillisecond);

void BM_ReadLinesMillion(benchmark::State& state) {
  std::string path = MillionLineFile();
  for (auto _ : state) {
    tolvarine::LineReader reader(path);
    std::size_t bytes = 0;
    while (!reader.AtEnd()) bytes += reader.ReadLine().size();
    benchmark::DoNotOptimize(bytes);
  }
}
BENCHMARK(BM_ReadLinesMillion)->Unit(benchmark::kMillisecond);

void BM_SplitLineViews64MiB(benchmark::State& state) {
  std::string text;
  while (text.size() < 64u * 1024 * 1024) {
    text += "<div class=\"item\">Contact 13800138000 for details about this page</div>\r\n";
  }
  for (auto _ : state) benchmark::DoNotOptimize(tolvarine::SplitLineViews(text).size());
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_SplitLineViews64MiB)->Unit(benchmark::kMillisecond);

void BM_CollatorCompare(benchmark::State& state) {
  tolvarine::CaseIgnoringCollator collator("zh_CN");
  std::string a = "http://www.example.com/Page12345.htm";
  std::string b = "HTTP://www.example.com/page12346.htm";
  for (auto _ : state) benchmark::DoNotOptimize(collator.Compare(a, b));
}
BENCHMARK(BM_CollatorCompare);

void BM_StrToInt(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(tolvarine::TryStrToInt("  -2147483648"));
}
BENCHMARK(BM_StrToInt);

}  // namespace
