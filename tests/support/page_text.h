#pragma once
// Page-like GBK text for scanner tests and benchmarks: lines of Chinese text and markup
// with dates, prices, area-code numbers, long ids and now and then a mobile number, CR LF
// line ends. The same seed gives the same text.
#include <cstddef>
#include <cstdint>
#include <string>

namespace tolvarine::testing {

std::string MakePageText(std::size_t bytes, std::uint32_t seed = 1);

// Text from a small alphabet in which long digit runs, prefixes and line ends are frequent,
// for comparing scanners on many awkward cases.
std::string MakeDigitHeavyText(std::size_t bytes, std::uint32_t seed);

// A page that adds eight numbers "13<tag>1234567<n>", one every 200 ms, each from a timer of
// its own: all of them are there 1.6 s after the load when the page's timers run at full
// speed.
std::string TimedRowsPage(char tag);

}  // namespace tolvarine::testing
