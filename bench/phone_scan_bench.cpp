// The phone scan over 64 MiB of page-like GBK text, the whole-text scan and the
// line-by-line one. Set TOLVARINE_CORPUS_OUT to a path to also write the text there (for
// comparing with other tools on the same bytes).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

#include "base/line_split.h"
#include "engine/formatted_phones.h"
#include "engine/phone_extractor.h"
#include "tests/support/page_text.h"

namespace {

const std::vector<std::string> kPrefixes{"13", "15", "18"};

const std::string& Corpus() {
  static const std::string text = [] {
    std::string t = tolvarine::testing::MakePageText(64u << 20, 7);
    if (const char* out = std::getenv("TOLVARINE_CORPUS_OUT")) {
      if (std::FILE* f = std::fopen(out, "wb")) {
        std::fwrite(t.data(), 1, t.size(), f);
        std::fclose(f);
      }
    }
    return t;
  }();
  return text;
}

void BM_PhoneScanText(benchmark::State& state) {
  const std::string& text = Corpus();
  const tolvarine::PhoneScanner scanner(kPrefixes);
  std::size_t found = 0;
  for (auto _ : state) {
    found = 0;
    scanner.ScanText(text, [&](std::string_view) { ++found; });
    benchmark::DoNotOptimize(found);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.counters["numbers"] = static_cast<double>(found);
}
BENCHMARK(BM_PhoneScanText)->Unit(benchmark::kMillisecond);

// The ordinary scan with the formatted one (the formatted option) over a text.
void ScanFormatted(benchmark::State& state, const std::string& text) {
  const tolvarine::PhoneScanner scanner(kPrefixes);
  const tolvarine::FormattedPhoneScanner formatted(kPrefixes);
  std::size_t found = 0;
  for (auto _ : state) {
    found = 0;
    tolvarine::ScanTextWithFormatted(scanner, formatted, text, [&](std::string_view) { ++found; });
    benchmark::DoNotOptimize(found);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
  state.counters["numbers"] = static_cast<double>(found);
}

// The page text with numbers as people write them found too.
void BM_PhoneScanTextWithFormatted(benchmark::State& state) { ScanFormatted(state, Corpus()); }
BENCHMARK(BM_PhoneScanTextWithFormatted)->Unit(benchmark::kMillisecond);

// The formatted scan over texts of one line: the page text with its line ends made spaces,
// and 8 MiB of double-byte characters whose trail bytes are the full-width lead, so that
// every other byte pair reads like a full-width digit.
void BM_FormattedScanOneLongLine(benchmark::State& state) {
  static const std::string text = [] {
    std::string t = Corpus();
    for (char& c : t)
      if (c == '\r' || c == '\n') c = ' ';
    return t;
  }();
  ScanFormatted(state, text);
}
BENCHMARK(BM_FormattedScanOneLongLine)->Unit(benchmark::kMillisecond);

void BM_FormattedScanMisalignedPairs(benchmark::State& state) {
  std::string text;
  for (std::size_t k = 0; k < (4u << 20); ++k) text += "\xB1\xA3";
  ScanFormatted(state, text + " +86 138-1234-5678");
}
BENCHMARK(BM_FormattedScanMisalignedPairs)->Unit(benchmark::kMillisecond);

// The whole extraction into a phone list with dedup, as a page harvest does it.
void BM_PhoneExtractIntoList(benchmark::State& state) {
  const std::string& text = Corpus();
  for (auto _ : state) {
    tolvarine::ResultList phones;
    tolvarine::ExtractPhonesFromTexts({text}, kPrefixes, true, phones, nullptr);
    benchmark::DoNotOptimize(phones.Count());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_PhoneExtractIntoList)->Unit(benchmark::kMillisecond);

void BM_PhoneScanLineByLine(benchmark::State& state) {
  const std::string& text = Corpus();
  const tolvarine::PhoneScanner scanner(kPrefixes);
  for (auto _ : state) {
    std::size_t found = 0;
    for (std::string_view line : tolvarine::SplitLineViews(text))
      scanner.ScanLine(line, [&](std::string_view) { ++found; });
    benchmark::DoNotOptimize(found);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_PhoneScanLineByLine)->Unit(benchmark::kMillisecond);

}  // namespace
