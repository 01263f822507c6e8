#include "number_data/block_table.h"

#include <algorithm>
#include <string>

#include "number_data/block_table_data.h"

namespace tolvarine {

namespace {
constexpr std::size_t kBlockCount = 1000000;
}  // namespace

BlockTableNumberInfo::BlockTableNumberInfo() : blocks_(kBlockCount, 0) {
  places_.reserve(static_cast<std::size_t>(number_data::kPlaceCount) + 1);
  places_.emplace_back();
  const char* text = number_data::kPlaceTexts;
  auto next = [&text] {
    std::string field(text);
    text += field.size() + 1;
    return field;
  };
  for (int i = 0; i < number_data::kPlaceCount; ++i) {
    NumberPlace place;
    place.province = next();
    place.city = next();
    place.carrier = next();
    place.valid = true;
    places_.push_back(std::move(place));
  }
  for (int i = 0; i < number_data::kBlockRunCount; ++i) {
    const std::uint32_t run = number_data::kBlockRuns[i];
    const std::size_t end = i + 1 < number_data::kBlockRunCount
                                ? number_data::kBlockRuns[i + 1] >> 12
                                : kBlockCount;
    std::fill(blocks_.begin() + (run >> 12), blocks_.begin() + end,
              static_cast<std::uint16_t>(run & 0xfff));
  }
}

const NumberPlace& BlockTableNumberInfo::Look(std::string_view number) const {
  if (number.size() != 11 || number[0] != '1') return places_[0];
  std::size_t block = 0;
  for (std::size_t i = 1; i < 11; ++i) {
    const unsigned digit = static_cast<unsigned char>(number[i]) - '0';
    if (digit > 9) return places_[0];
    if (i < 7) block = block * 10 + digit;
  }
  return places_[blocks_[block]];
}

const char* NumberDataSource() { return TOLVARINE_NUMBER_DATA_SOURCE; }

}  // namespace tolvarine
