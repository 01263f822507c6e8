#pragma once
// Number conversion (text -> integer) and number text (integer -> text).
#include <concepts>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

namespace tolvarine {

// Leading blanks skipped; an optional sign and decimal digits, or a hexadecimal number
// introduced by "$", "x", "X", "0x" or "0X" without sign (up to FFFFFFFF, 2^31 and above
// reading negative). The digits run to the end. Returns nullopt for anything else.
std::optional<std::int32_t> TryStrToInt(std::string_view text);

// As TryStrToInt; throws ConvertError("'<text>' is not a valid integer value") on failure.
std::int32_t StrToInt(std::string_view text);

// A whole decimal number within [low, high], as the command line and the program's own
// record files write them: decimal digits only, led by "-" only where low is negative (no
// "+", no blanks, no hexadecimal). Returns nullopt for anything else and out of range.
std::optional<long long> ParseDecimal(std::string_view text, long long low, long long high);

// ParseDecimal over the whole range of T.
template <std::signed_integral T>
std::optional<T> ParseDecimalAs(std::string_view text) {
  const std::optional<long long> n =
      ParseDecimal(text, std::numeric_limits<T>::min(), std::numeric_limits<T>::max());
  if (!n) return std::nullopt;
  return static_cast<T>(*n);
}

// The value of a hexadecimal digit (either case); -1 for another character.
int HexDigit(char c);

// Decimal digits with a leading "-" for negative values.
std::string IntToStr(std::int64_t value);

}  // namespace tolvarine
