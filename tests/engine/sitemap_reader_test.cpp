// Sitemap files: an index and a page set, plain and gzip, the limits, and damaged input.
#include <gtest/gtest.h>

#include "engine/sitemap_reader.h"
#include "tests/engine/gzip_text.h"

namespace tolvarine {
namespace {

std::string UrlSet(int n) {
  std::string xml =
      "<?xml version=\"1.0\"?><urlset xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\" "
      "xmlns:image=\"http://www.google.com/schemas/sitemap-image/1.1\">";
  for (int i = 0; i < n; ++i)
    xml += "<url><loc>\n  http://s.cn/p" + std::to_string(i) +
           "?a=1&amp;b=2 </loc><image:image><image:loc>http://s.cn/i.png</image:loc>"
           "</image:image><lastmod>2026-01-01</lastmod></url>";
  return xml + "</urlset>";
}

TEST(SitemapReaderTest, AnIndexAndAPageSetPlainOrGzip) {
  const SitemapContents index = ReadSitemap(
      "<sitemapindex xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\"><sitemap>"
      "<loc>http://s.cn/a.xml.gz</loc></sitemap><sitemap><loc>http://s.cn/b.xml</loc>"
      "</sitemap></sitemapindex>");
  EXPECT_EQ(index.sitemaps,
            (std::vector<std::string>{"http://s.cn/a.xml.gz", "http://s.cn/b.xml"}));
  EXPECT_TRUE(index.pages.empty());
  EXPECT_FALSE(index.cut || index.broken);
  for (const std::string& bytes : {UrlSet(3), Gzip(UrlSet(3))}) {
    const SitemapContents set = ReadSitemap(bytes);
    EXPECT_EQ(set.pages, (std::vector<std::string>{"http://s.cn/p0?a=1&b=2",
                                                    "http://s.cn/p1?a=1&b=2",
                                                    "http://s.cn/p2?a=1&b=2"}));
    EXPECT_FALSE(set.cut || set.broken);
  }
}

TEST(SitemapReaderTest, LimitsCutAndDamageKeepWhatCameBefore) {
  // A large page set in small chunks of gzip: the address limit and the byte limit.
  const std::string packed = Gzip(UrlSet(20000));
  SitemapContents set = ReadSitemap(packed, {100, 1 << 30});
  EXPECT_EQ(set.pages.size(), 100u);
  EXPECT_TRUE(set.cut);
  EXPECT_FALSE(set.broken);
  set = ReadSitemap(packed, {50000, 200 * 1000});
  EXPECT_TRUE(set.cut);
  EXPECT_GT(set.pages.size(), 100u);
  EXPECT_LT(set.pages.size(), 2000u);
  set = ReadSitemap(UrlSet(20000), {50000, 200 * 1000});
  EXPECT_TRUE(set.cut);
  EXPECT_LT(set.pages.size(), 2000u);
  // A gzip stream cut short, and no XML at all.
  set = ReadSitemap(packed.substr(0, packed.size() / 2));
  EXPECT_TRUE(set.broken);
  EXPECT_GT(set.pages.size(), 100u);
  EXPECT_TRUE(ReadSitemap("<html><body>Not found</body>").pages.empty());
  EXPECT_TRUE(ReadSitemap("User-agent: *\nDisallow:\n").broken);
}

}  // namespace
}  // namespace tolvarine
