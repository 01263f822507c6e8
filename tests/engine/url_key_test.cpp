// The key that decides whether two addresses are one page.
#include <gtest/gtest.h>

#include "engine/url_key.h"

namespace tolvarine {
namespace {

TEST(AddressKeyTest, AddressesOfOnePageShareAKeyAndOthersDoNot) {
  struct Case {
    const char* address;
    const char* key;
  };
  const Case cases[] = {
      {"HTTP://WWW.Example.COM:80/Path#top", "http://www.example.com/Path"},
      {"https://example.com:443", "https://example.com/"},
      {"http://example.com:8080/", "http://example.com:8080/"},
      {"http://user:pw@example.com/a", "http://example.com/a"},
      {"http://example.com/a?b=2&a=1", "http://example.com/a?a=1&b=2"},
      {"http://example.com/a?utm_source=x&UTM_Medium=y&id=3&gclid=g&fbclid=f&spm=s",
       "http://example.com/a?id=3"},
      {"http://example.com/a?utm_source=x", "http://example.com/a"},
      {"http://example.com/a?", "http://example.com/a"},
      {"http://example.com/a?&&x=1&", "http://example.com/a?x=1"},
      {"http://example.com/a;jsessionid=ABC123?x=1", "http://example.com/a?x=1"},
      {"http://example.com/a;JSESSIONID=ABC/b;v=2", "http://example.com/a/b;v=2"},
      {"http://example.com/a?PHPSESSID=abc&page=2", "http://example.com/a?page=2"},
      // Look-alikes are parameters of the page: kept.
      {"http://example.com/a?utm=1&spmx=2&sid=3", "http://example.com/a?sid=3&spmx=2&utm=1"},
      {"http://example.com/a?x=1#frag?utm_source=y", "http://example.com/a?x=1"},
      {"http://\xe4\xbe\x8b\xe5\xad\x90.\xe4\xb8\xad\xe5\x9b\xbd/",
       "http://xn--fsqu00a.xn--fiqs8s/"},
      {"mailto:a@example.com#x", "mailto:a@example.com"},
  };
  for (const Case& c : cases) EXPECT_EQ(AddressKey(c.address), c.key) << c.address;
  // Case in the path and the query's values chooses the page.
  EXPECT_NE(AddressKey("http://example.com/A?q=X"), AddressKey("http://example.com/a?q=x"));
}

}  // namespace
}  // namespace tolvarine
