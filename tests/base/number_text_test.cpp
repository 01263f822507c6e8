#include "base/number_text.h"

#include <gtest/gtest.h>

#include <string>

#include "base/errors.h"

namespace tolvarine {
namespace {

struct Accepted {
  const char* text;
  std::int32_t value;
};

TEST(NumberConversion, AcceptsDecimalAndHexForms) {
  const Accepted cases[] = {
      {"0", 0},
      {"8", 8},
      {"007", 7},
      {"+15", 15},
      {"-15", -15},
      {"-0", 0},
      {"   42", 42},
      {" -1", -1},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"+2147483647", 2147483647},
      {"00000000000000000001", 1},
      {"$10", 16},
      {"x1f", 31},
      {"X1F", 31},
      {"0x7fffffff", 2147483647},
      {"0X80000000", INT32_MIN},
      {"$FFFFFFFF", -1},
      {"$fffffffe", -2},
      {"$000000000001", 1},
      {"  $A", 10},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    auto value = TryStrToInt(c.text);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(*value, c.value);
    EXPECT_EQ(StrToInt(c.text), c.value);
  }
}

TEST(NumberConversion, RejectsEverythingElse) {
  const char* cases[] = {
      "",          "   ",        "+",          "-",          "$",         "x",
      "0x",        "12 ",        "1 2",        "\t5",        "5\r",       "1.0",
      "1e3",       "--1",        "+-1",        "-$10",       "+0x10",     "$-1",
      "2147483648", "-2147483649", "99999999999", "$100000000", "0x1FFFFFFFF", "$g",
      "0xx1",      "abc",        "٣",          "１２",
  };
  for (const char* text : cases) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(TryStrToInt(text).has_value());
  }
  // A NUL byte inside the text is not a digit either.
  EXPECT_FALSE(TryStrToInt(std::string_view("12\0" "3", 4)).has_value());
}

TEST(NumberConversion, FailureNamesTheWholeText) {
  try {
    StrToInt(" 12a");
    FAIL() << "no exception";
  } catch (const ConvertError& e) {
    EXPECT_STREQ(e.what(), "' 12a' is not a valid integer value");
  }
  try {
    StrToInt("");
    FAIL() << "no exception";
  } catch (const ConvertError& e) {
    EXPECT_STREQ(e.what(), "'' is not a valid integer value");
  }
}

TEST(NumberText, DecimalWithMinusOnly) {
  EXPECT_EQ(IntToStr(0), "0");
  EXPECT_EQ(IntToStr(120), "120");
  EXPECT_EQ(IntToStr(INT32_MIN), "-2147483648");
}

TEST(StrictDecimal, DigitsWithinTheRangeOnly) {
  EXPECT_EQ(ParseDecimal("0", 0, 60), 0);
  EXPECT_EQ(ParseDecimal("060", 1, 60), 60);
  EXPECT_EQ(ParseDecimal("1", 1, 60), 1);
  for (const char* text : {"", "61", "0", "+5", " 5", "5 ", "-5", "1.5", "$A", "0x1", "abc"}) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(ParseDecimal(text, 1, 60).has_value());
  }
  // A minus sign only where the range has negative numbers; no overflow past its ends.
  EXPECT_EQ(ParseDecimal("-7", -10, 10), -7);
  EXPECT_FALSE(ParseDecimal("-", -10, 10).has_value());
  EXPECT_FALSE(ParseDecimal("-11", -10, 10).has_value());
  EXPECT_EQ(ParseDecimalAs<std::int64_t>("-9223372036854775808"), INT64_MIN);
  EXPECT_EQ(ParseDecimalAs<std::int64_t>("9223372036854775807"), INT64_MAX);
  EXPECT_FALSE(ParseDecimalAs<std::int64_t>("9223372036854775808").has_value());
  EXPECT_FALSE(ParseDecimalAs<int>("2147483648").has_value());
  EXPECT_FALSE(ParseDecimal("18446744073709551619", 0, 3).has_value());
  EXPECT_FALSE(ParseDecimal("5", -10, -3).has_value());
}

}  // namespace
}  // namespace tolvarine
