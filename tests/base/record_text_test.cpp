#include "base/record_text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace tolvarine {
namespace {

TEST(RecordTextTest, CsvQuotesOnlyFieldsThatNeedIt) {
  EXPECT_EQ(CsvLine({"13812345678", "http://a.example/x?a=1", "2026-12-08 10:00:00"}),
            "13812345678,http://a.example/x?a=1,2026-12-08 10:00:00");
  EXPECT_EQ(CsvLine({"http://a.example/?q=1,2", "say \"hi\"", "a\r\nb", ""}),
            "\"http://a.example/?q=1,2\",\"say \"\"hi\"\"\",\"a\r\nb\",");
  // GBK bytes pass unchanged, a trail byte equal to "," or "\"" included: none is.
  EXPECT_EQ(CsvLine({"\xB5\xE7\xBB\xB0"}), "\xB5\xE7\xBB\xB0");
}

TEST(RecordTextTest, JsonIsUtf8WithEscapes) {
  EXPECT_EQ(JsonObjectLine({{"value", "13812345678"}, {"page", "http://a.example/\"x\\"}}),
            "{\"value\":\"13812345678\",\"page\":\"http://a.example/\\\"x\\\\\"}");
  const std::string line = JsonObjectLine({{"v", "\xB5\xE7\xBB\xB0\t\x01 x"}});
  EXPECT_EQ(line, "{\"v\":\"\xE7\x94\xB5\xE8\xAF\x9D\\u0009\\u0001 x\"}");
  // Read back to the same GBK text; a bare integer member reads as its digits.
  using Members = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(JsonObjectMembers(line), (Members{{"v", "\xB5\xE7\xBB\xB0\t\x01 x"}}));
  EXPECT_EQ(JsonObjectLine({{"n", "-12"}, {"s", "7"}}, {true}), "{\"n\":-12,\"s\":\"7\"}");
  EXPECT_EQ(JsonObjectMembers("{\"n\":-12,\"s\":\"7\"}"), (Members{{"n", "-12"}, {"s", "7"}}));
  EXPECT_FALSE(JsonObjectMembers("{\"n\":-,\"s\":\"7\"}"));
}

TEST(RecordTextTest, LocalTime) {
  const char* old = std::getenv("TZ");
  const std::string saved = old ? old : "";
  setenv("TZ", "CST-8", 1);  // UTC+8, needing no time zone data
  tzset();
  EXPECT_EQ(LocalTimeText(0), "1970-01-01 08:00:00");
  EXPECT_EQ(LocalTimeText(1796745600), "2026-12-09 00:00:00");
  if (old) setenv("TZ", saved.c_str(), 1); else unsetenv("TZ");
  tzset();
}

}  // namespace
}  // namespace tolvarine
