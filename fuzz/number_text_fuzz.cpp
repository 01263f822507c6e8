// Number conversion against a model of its rules written from scratch, and the number text
// of every value read back to the same value.
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "base/errors.h"
#include "base/number_text.h"
#include "fuzz/fuzz_support.h"

namespace {

using tolvarine::fuzz::AsText;

// Leading blanks, then "+"/"-" and decimal digits, or "$", "x", "X", "0x", "0X" and hex
// digits; the digits run to the end. Decimal in int32 range; hex up to FFFFFFFF, wrapping.
std::optional<std::int32_t> ModelStrToInt(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  bool hex = false;
  bool negative = false;
  if (s.starts_with("0x") || s.starts_with("0X")) {
    hex = true;
    s.remove_prefix(2);
  } else if (!s.empty() && (s.front() == '$' || s.front() == 'x' || s.front() == 'X')) {
    hex = true;
    s.remove_prefix(1);
  } else if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
    negative = s.front() == '-';
    s.remove_prefix(1);
  }
  if (s.empty()) return std::nullopt;
  // Leading zeros never change the value; strip them so the length bounds the magnitude.
  std::size_t zeros = 0;
  while (zeros + 1 < s.size() && s[zeros] == '0') ++zeros;
  const std::string_view digits = s.substr(zeros);
  for (char c : s) {
    const bool dec = c >= '0' && c <= '9';
    const bool hexLetter = (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    if (!dec && !(hex && hexLetter)) return std::nullopt;
  }
  if (digits.size() > (hex ? 8u : 10u)) return std::nullopt;
  __int128 value = 0;
  for (char c : digits) {
    int d = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
    value = value * (hex ? 16 : 10) + d;
  }
  if (hex) {
    if (value >= (__int128{1} << 31)) value -= __int128{1} << 32;
    return static_cast<std::int32_t>(value);
  }
  if (negative) value = -value;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

std::string ModelIntToStr(std::int64_t v) {
  if (v == 0) return "0";
  const bool negative = v < 0;
  // Work on the unsigned magnitude: -INT64_MIN does not fit an int64.
  std::uint64_t m = negative ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
  std::string digits;
  while (m > 0) {
    digits.insert(digits.begin(), static_cast<char>('0' + m % 10));
    m /= 10;
  }
  return negative ? "-" + digits : digits;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text = AsText(data, size);

  const std::optional<std::int32_t> got = tolvarine::TryStrToInt(text);
  const std::optional<std::int32_t> want = ModelStrToInt(text);
  FUZZ_CHECK(got == want);
  try {
    const std::int32_t value = tolvarine::StrToInt(text);
    FUZZ_CHECK(want && value == *want);
  } catch (const tolvarine::ConvertError& e) {
    FUZZ_CHECK(!want);
    // what() is a C string: a NUL in the text ends the message there.
    const std::string message = "'" + std::string(text) + "' is not a valid integer value";
    FUZZ_CHECK(e.what() == message.substr(0, message.find('\0')));
  }

  // The input's first eight bytes as a value: its text is the model's and reads back.
  std::int64_t raw = 0;
  std::memcpy(&raw, data, size < sizeof raw ? size : sizeof raw);
  for (std::int64_t v : {raw, static_cast<std::int64_t>(static_cast<std::int32_t>(raw))}) {
    const std::string s = tolvarine::IntToStr(v);
    FUZZ_CHECK(s == ModelIntToStr(v));
    if (v >= INT32_MIN && v <= INT32_MAX) {
      FUZZ_CHECK(tolvarine::TryStrToInt(s) == static_cast<std::int32_t>(v));
      FUZZ_CHECK(tolvarine::TryStrToInt("  " + s) == static_cast<std::int32_t>(v));
    } else {
      FUZZ_CHECK(!tolvarine::TryStrToInt(s));
    }
  }
  return 0;
}
