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

}  // namespace tolvarine::testing
