#include "engine/list_address.h"

#include <gtest/gtest.h>

#include "base/gbk.h"

namespace tolvarine {
namespace {

TEST(ListAddressTest, LinesBecomeTheAddressesTheyStandFor) {
  EXPECT_EQ(AddressFromListLine("http://a.example/x y"), "http://a.example/x");
  EXPECT_EQ(AddressFromListLine("HTTPS://a.example"), "HTTPS://a.example");
  // No scheme: a web address.
  EXPECT_EQ(AddressFromListLine("www.example.com/page.html"), "http://www.example.com/page.html");
  EXPECT_EQ(AddressFromListLine("localhost:8080/a"), "http://localhost:8080/a");
  EXPECT_EQ(AddressFromListLine("user@a.example/"), "http://user@a.example/");
  const std::string international = Utf8ToGbk("http://例子.中国/");
  EXPECT_EQ(AddressFromListLine(international), international);
  // Other schemes are the browser's to judge.
  EXPECT_EQ(AddressFromListLine("about:blank"), "about:blank");
  EXPECT_EQ(AddressFromListLine("file:///tmp/a.html"), "file:///tmp/a.html");
}

TEST(ListAddressTest, LinesThatAreNoAddressAreRefused) {
  EXPECT_EQ(AddressFromListLine(""), std::nullopt);
  EXPECT_EQ(AddressFromListLine(" http://a.example/"), std::nullopt);
  EXPECT_EQ(AddressFromListLine("http://"), std::nullopt);
  EXPECT_EQ(AddressFromListLine("http:a.example"), std::nullopt);
  EXPECT_EQ(AddressFromListLine("<?>"), std::nullopt);
  EXPECT_EQ(AddressFromListLine("/index.html"), std::nullopt);
  EXPECT_EQ(AddressFromListLine("http://a.example:99999/"), std::nullopt);
  EXPECT_EQ(AddressFromListLine("http://a..example/"), std::nullopt);
}

}  // namespace
}  // namespace tolvarine
