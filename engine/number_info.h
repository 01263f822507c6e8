#pragma once
// Where a mobile number belongs: its province, city and carrier (GBK, as every text of the
// engine), and whether the numbering plan counts it as a valid Chinese mobile number. The
// walk and the scans see only this interface; the data behind it is built elsewhere.
#include <string>
#include <string_view>

namespace tolvarine {

struct NumberPlace {
  std::string province;  // empty where the number's block has no known place
  std::string city;      // empty where only the province is known
  std::string carrier;   // empty where the block was given to no known carrier
  bool valid = false;    // a valid Chinese mobile number
};

class NumberInfo {
 public:
  virtual ~NumberInfo() = default;
  // The place of an 11-digit number; anything else is an invalid number with no place.
  // The reference stays good as long as this object.
  virtual const NumberPlace& Look(std::string_view elevenDigits) const = 0;
};

}  // namespace tolvarine
