#include "engine/crawl_settings.h"

#include <algorithm>
#include <optional>

#include "base/number_text.h"

namespace tolvarine {

int ReadSpeed(const std::string& text) {
  const std::optional<std::int32_t> value = TryStrToInt(text);
  if (!value) return 1;
  return std::clamp<std::int32_t>(*value, 1, 60);
}

}  // namespace tolvarine
