#include "base/number_text.h"

#include <string>

#include "base/errors.h"

namespace tolvarine {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

namespace {

std::optional<std::int32_t> ParseHex(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : digits) {
    int d = HexDigit(c);
    if (d < 0) return std::nullopt;
    value = value * 16 + static_cast<std::uint64_t>(d);
    if (value > 0xFFFFFFFFull) return std::nullopt;
  }
  // Values of 2^31 and above wrap to negative (value - 2^32).
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

std::optional<std::int32_t> ParseSignedDigits(std::string_view digits, bool negative) {
  if (digits.empty()) return std::nullopt;
  const std::uint64_t limit = negative ? 2147483648ull : 2147483647ull;
  std::uint64_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (value > limit) return std::nullopt;
  }
  std::int64_t signedValue = negative ? -static_cast<std::int64_t>(value)
                                      : static_cast<std::int64_t>(value);
  return static_cast<std::int32_t>(signedValue);
}

}  // namespace

std::optional<std::int32_t> TryStrToInt(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  std::string_view rest = text.substr(i);
  if (rest.empty()) return std::nullopt;
  switch (rest[0]) {
    case '$':
    case 'x':
    case 'X':
      return ParseHex(rest.substr(1));
    case '0':
      if (rest.size() >= 2 && (rest[1] == 'x' || rest[1] == 'X')) return ParseHex(rest.substr(2));
      return ParseSignedDigits(rest, false);
    case '+':
      return ParseSignedDigits(rest.substr(1), false);
    case '-':
      return ParseSignedDigits(rest.substr(1), true);
    default:
      return ParseSignedDigits(rest, false);
  }
}

std::optional<long long> ParseDecimal(std::string_view text, long long low, long long high) {
  const bool negative = !text.empty() && text[0] == '-' && low < 0;
  const std::string_view digits = negative ? text.substr(1) : text;
  if (digits.empty()) return std::nullopt;
  // The magnitude allowed on this side of zero, as unsigned: LLONG_MIN's has no long long.
  const unsigned long long limit =
      negative ? 0ull - static_cast<unsigned long long>(low)
               : static_cast<unsigned long long>(high < 0 ? 0 : high);
  unsigned long long value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    const unsigned d = static_cast<unsigned>(c - '0');
    if (d > limit || value > (limit - d) / 10) return std::nullopt;
    value = value * 10 + d;
  }
  const long long n =
      negative ? static_cast<long long>(0ull - value) : static_cast<long long>(value);
  if (n < low || n > high) return std::nullopt;
  return n;
}

std::int32_t StrToInt(std::string_view text) {
  if (auto value = TryStrToInt(text)) return *value;
  throw ConvertError(std::string(text));
}

std::string IntToStr(std::int64_t value) {
  return std::to_string(value);
}

}  // namespace tolvarine
