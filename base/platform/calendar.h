#pragma once
// The calendar of the user's time zone.
#include <cstdint>
#include <ctime>

namespace tolvarine::platform {

// The local date and time of a moment given in seconds since 1970-01-01 UTC.
std::tm LocalTime(std::int64_t secondsSinceEpoch);

}  // namespace tolvarine::platform
