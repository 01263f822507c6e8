#include "engine/crawl_scope.h"

#include <gtest/gtest.h>

#include "base/gbk.h"

namespace tolvarine {
namespace {

TEST(CrawlScopeTest, WebLinksAreQueuedInOneSpelling) {
  EXPECT_EQ(FollowableAddress("HTTP://WWW.Example.COM/Path#x", false),
            "http://www.example.com/Path");
  EXPECT_EQ(FollowableAddress("http://a.example/list.php?Page=2&Q=A", false),
            "http://a.example/list.php?Page=2&Q=A");
  EXPECT_EQ(FollowableAddress("http://a.example", false), "http://a.example/");
  EXPECT_EQ(FollowableAddress("http://a.example?q#f", false), "http://a.example/?q");
  EXPECT_EQ(FollowableAddress("http://a.example:80/x", false), "http://a.example/x");
  EXPECT_EQ(FollowableAddress("http://User:Pw@A.example:8080/x", false),
            "http://User:Pw@a.example:8080/x");
  EXPECT_EQ(FollowableAddress("http://[::1]:8080/x", false), "http://[::1]:8080/x");
  EXPECT_EQ(FollowableAddress("http://a.example:65535/x", false), "http://a.example:65535/x");
  EXPECT_EQ(FollowableAddress("http://例子.中国/", false), "http://xn--fsqu00a.xn--fiqs8s/");
  // https only when allowed.
  EXPECT_EQ(FollowableAddress("https://a.example:443/x", false), "");
  EXPECT_EQ(FollowableAddress("HTTPS://a.example:443/x", true), "https://a.example/x");
}

TEST(CrawlScopeTest, OtherLinksAreNotFollowed) {
  for (const char* link :
       {"ftp://a.example/", "mailto:a@a.example", "javascript:void(0)", "http:a.example",
        "http://", "http://user@/x", "http://:80/", "http://a.example:8x/",
        "http://a.example:65536/", "http://[::1/", "http://a..example/", "http://./",
        "http://a b/", "http://a.example/x\ny", "http://<a>/", "/relative.html"})
    EXPECT_EQ(FollowableAddress(link, true), "") << link;
}

TEST(CrawlScopeTest, FilesThatAreNoPagesAreNotFollowed) {
  for (const char* link :
       {"http://a.example/p.JPG", "http://a.example/d/report.pdf?dl=1", "http://a.example/a.tar.gz",
        "http://a.example/setup.exe#x", "http://a.example/s.css;v=2", "http://a.example/f.woff2",
        "http://a.example/f.torrent"})
    EXPECT_EQ(FollowableAddress(link, false), "") << link;
  for (const char* link :
       {"http://a.example/dir.pdf/", "http://a.example/page.php?f=a.jpg", "http://a.example/a.htm",
        "http://a.example/x.", "http://a.example/readme", "http://img.example.jpg/"})
    EXPECT_NE(FollowableAddress(link, false), "") << link;
}

TEST(CrawlScopeTest, AddressPartsForRobotsRules) {
  EXPECT_EQ(HostOf("http://u:p@WWW.A.example:8080/x"), "www.a.example");
  EXPECT_EQ(HostOf("http://[::1]:8080/"), "[::1]");
  EXPECT_EQ(HostOf("file:///tmp/a.html"), "");
  EXPECT_EQ(HostOf("about:blank"), "");
  // An international name in the list file's GBK is the same host as in UTF-8.
  EXPECT_EQ(HostOf(Utf8ToGbk("http://www.例子.中国/")), "www.xn--fsqu00a.xn--fiqs8s");
  EXPECT_EQ(HostOf("http://www.例子.中国/"), "www.xn--fsqu00a.xn--fiqs8s");
  // The page log's site column: the host alone.
  EXPECT_EQ(HostOf("http://a.example#top"), "a.example");
  EXPECT_EQ(HostOf("http://a.example?q"), "a.example");
  EXPECT_EQ(HostOf("http://U@A.Example:8080/x"), "a.example");
  EXPECT_EQ(AddressOrigin("HTTPS://u@A.example:443/x?y"), "https://a.example");
  EXPECT_EQ(AddressOrigin("http://a.example:8080/x"), "http://a.example:8080");
  EXPECT_EQ(AddressOrigin("http://[::1]:81#f"), "http://[::1]:81");
  EXPECT_EQ(AddressPathAndQuery("http://a.example/A/b?c=d#e"), "/A/b?c=d");
  EXPECT_EQ(AddressPathAndQuery("http://a.example?c"), "/?c");
  EXPECT_EQ(AddressPathAndQuery("http://a.example#top"), "/");
  EXPECT_EQ(AddressPathAndQuery("about:blank"), "/");
}

TEST(CrawlScopeTest, SitesGroupHostsByRegistrableDomain) {
  const RegistrableSites keys;
  EXPECT_EQ(keys.SiteOfHost("www.example.com.cn"), "example.com.cn");
  EXPECT_EQ(keys.SiteOfHost("bbs.example.com.cn"), "example.com.cn");
  EXPECT_EQ(keys.SiteOfHost("a.com.cn"), "a.com.cn");
  EXPECT_EQ(keys.SiteOfHost("www.example.com."), "example.com");
  // Hosts without a registrable domain are their own key.
  for (const char* host : {"com.cn", "localhost", "intranet", "192.168.1.10", "[::1]"})
    EXPECT_EQ(keys.SiteOfHost(host), host);

  const char* address = "http://BBS.Example.com.cn:8080/t?x#y";
  EXPECT_EQ(keys.SiteOf(address), "example.com.cn");
  EXPECT_EQ(keys.SiteOf("about:blank"), "");
  EXPECT_EQ(keys.ScopeKey(ScopeKind::Site, address), "example.com.cn");
  EXPECT_EQ(keys.ScopeKey(ScopeKind::Host, address), "bbs.example.com.cn");
  // An international host keys the same in either spelling.
  EXPECT_EQ(keys.ScopeKey(ScopeKind::Site, "http://www.例子.中国/"),
            keys.ScopeKey(ScopeKind::Site, "http://bbs.xn--fsqu00a.xn--fiqs8s/"));
  EXPECT_EQ(keys.ScopeKey(ScopeKind::Site, "about:blank"), "");

  EXPECT_EQ(ScopeKindFromName("site"), ScopeKind::Site);
  EXPECT_EQ(ScopeKindFromName("host"), ScopeKind::Host);
  EXPECT_EQ(ScopeKindFromName("Site"), std::nullopt);
}

TEST(CrawlScopeTest, ShardOfKeyIsFixedForEveryMachine) {
  // FNV-1a 64: "example.com" is 0x576846634e2714c6, "example.com.cn" 0xbdfc4577789683bd.
  EXPECT_EQ(ShardOfKey("example.com", 1000), 350);
  EXPECT_EQ(ShardOfKey("example.com", 7), 1);
  EXPECT_EQ(ShardOfKey("example.com.cn", 16), 13);
  EXPECT_EQ(ShardOfKey("", 7), 2);
  EXPECT_EQ(ShardOfKey("example.com", 1), 0);
  EXPECT_EQ(ShardOfKey("example.com", 0), 0);
}

}  // namespace
}  // namespace tolvarine
