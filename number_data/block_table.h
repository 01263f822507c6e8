#pragma once
// The number information of the whole numbering plan for Chinese mobile numbers, as the
// build took it from libphonenumber: one table entry per block of 10,000 numbers.
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/number_info.h"

namespace tolvarine {

class BlockTableNumberInfo final : public NumberInfo {
 public:
  BlockTableNumberInfo();
  const NumberPlace& Look(std::string_view elevenDigits) const override;

 private:
  std::vector<NumberPlace> places_;      // [0] is an invalid number's
  std::vector<std::uint16_t> blocks_;    // place of each block, by its six digits after the 1
};

// Where the data comes from and of when ("libphonenumber 8.12.57, 2022-10-11"), for the
// about box.
const char* NumberDataSource();

}  // namespace tolvarine
