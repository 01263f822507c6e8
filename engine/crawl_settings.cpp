#include "engine/crawl_settings.h"

#include <algorithm>
#include <optional>

#include "base/gbk.h"
#include "base/number_text.h"
#include "engine/phone_extractor.h"

namespace tolvarine {

int ClampSpeed(int speed) { return std::clamp(speed, kFastestSpeed, kSlowestSpeed); }

int ReadSpeed(const std::string& text) {
  const std::optional<std::int32_t> value = TryStrToInt(text);
  if (!value) return kFastestSpeed;
  return ClampSpeed(*value);
}

std::vector<std::string> DefaultPrefixes() { return PrefixesFromText(kDefaultPrefixText); }

std::string RuleTextFromCommaList(const std::string& utf8Items) {
  std::string text;
  // A comma is never part of a GBK double-byte character, so each one ends an item.
  for (char c : Utf8ToGbk(utf8Items)) {
    if (c == ',') {
      text += "\r\n";
    } else {
      text += c;
    }
  }
  return text;
}

}  // namespace tolvarine
