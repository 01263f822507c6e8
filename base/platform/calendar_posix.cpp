// The local calendar on POSIX systems: the reentrant conversion, safe beside other threads.
#include "base/platform/calendar.h"

namespace tolvarine::platform {

std::tm LocalTime(std::int64_t secondsSinceEpoch) {
  const auto t = static_cast<std::time_t>(secondsSinceEpoch);
  std::tm local{};
  ::localtime_r(&t, &local);
  return local;
}

}  // namespace tolvarine::platform
