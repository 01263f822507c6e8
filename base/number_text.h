#pragma once
// Number conversion (text -> 32-bit signed integer) and number text (integer -> text).
#include <cstdint>
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

// The value of a hexadecimal digit (either case); -1 for another character.
int HexDigit(char c);

// Decimal digits with a leading "-" for negative values.
std::string IntToStr(std::int64_t value);

}  // namespace tolvarine
