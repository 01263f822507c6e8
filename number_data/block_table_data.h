#pragma once
// The table the build makes from libphonenumber's data (see block_table_generator.cpp).
#include <cstdint>

namespace tolvarine::number_data {

// The places of valid numbers, each as three texts ended by NUL: province, city, carrier
// (GBK). Place 1 is the first of them; place 0 is an invalid number's.
extern const char kPlaceTexts[];
extern const int kPlaceCount;

// The blocks 1000000..1999999 (a number's first seven digits, less its leading 1) as runs
// in order: (first block << 12) | place, each run lasting up to the next.
extern const std::uint32_t kBlockRuns[];
extern const int kBlockRunCount;

}  // namespace tolvarine::number_data
