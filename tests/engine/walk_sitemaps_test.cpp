// A crawl seeded from its sites' sitemaps: the robots.txt Sitemap lines, an index and a
// gzip page set, /sitemap.xml as the fallback, the file bound, and nothing asked when off.
#include <string>

#include "tests/engine/gzip_text.h"
#include "tests/engine/walk_fixture.h"

namespace tolvarine {
namespace {

constexpr char kSite[] = "http://www.shop.com.cn";

std::string At(const std::string& path) { return kSite + path; }

std::string Locs(const std::string& element, const std::vector<std::string>& addresses) {
  std::string xml;
  for (const std::string& a : addresses) xml += "<" + element + "><loc>" + a + "</loc></" + element + ">";
  return xml;
}
std::string UrlSet(const std::vector<std::string>& pages) {
  return "<urlset xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\">" + Locs("url", pages) +
         "</urlset>";
}
std::string Index(const std::vector<std::string>& maps) {
  return "<sitemapindex>" + Locs("sitemap", maps) + "</sitemapindex>";
}

class SitemapsTest : public WalkTest {
 protected:
  SitemapsTest() {
    crawl->Settings().extra.follow = true;
    crawl->Settings().extra.depth = 1;
    crawl->Settings().extra.sitemaps = true;
    testing::StoredPage start;
    start.links = {At("/linked")};
    browser.AddPage(At("/"), start);
    testing::StoredPage hidden;
    hidden.outerText = G("电话：") + Number(2);
    browser.AddPage(At("/only-in-map"), hidden);
    UseList({At("/")});
  }
  void File(const std::string& path, const std::string& body, int status = 200) {
    browser.AddText(At(path), {status, body, 100, false});
  }
  void RunToEnd() {
    Run(&CrawlController::Start);
    for (int i = 0; i < 1000 && crawl->Running(); ++i) clock.Advance(1000);
    ASSERT_FALSE(crawl->Running());
  }
};

TEST_F(SitemapsTest, APageOnlyASitemapListsIsFoundThroughAnIndexAndAGzipSet) {
  File("/robots.txt",
       "User-agent: *\nDisallow: /private\nSitemap: /index.xml\nSitemap: " + At("/index.xml") + "\n");
  File("/index.xml", Index({At("/gone.xml"), At("/pages.xml.gz")}));
  File("/gone.xml", "", 503);
  File("/pages.xml.gz", Gzip(UrlSet({At("/only-in-map"), At("/private/x"), "http://other.cn/x",
                                     At("/linked"), At("/"), "ftp://www.shop.com.cn/f"})));
  RunToEnd();
  // robots.txt asked once, for the sitemaps and the rules both; each sitemap once.
  EXPECT_EQ(browser.Fetches(), (Rows{At("/robots.txt"), At("/index.xml"), At("/gone.xml"),
                                     At("/pages.xml.gz")}));
  // In scope, once each, obeying robots.txt.
  EXPECT_EQ(browser.Navigations(), (Rows{At("/"), At("/linked"), At("/only-in-map")}));
  EXPECT_TRUE(Harvested(2));
}

TEST_F(SitemapsTest, SitemapXmlServesWhenRobotsNamesNoneOrIsIgnored) {
  File("/robots.txt", "User-agent: *\nDisallow: /linked\n");
  File("/sitemap.xml", UrlSet({At("/only-in-map")}));
  RunToEnd();
  EXPECT_EQ(browser.Fetches(), (Rows{At("/robots.txt"), At("/sitemap.xml")}));
  EXPECT_EQ(browser.Navigations(), (Rows{At("/"), At("/only-in-map")}));

  // With robots ignored, /sitemap.xml alone; an index naming itself and many others is
  // read to at most 50 files.
  std::vector<std::string> maps{At("/sitemap.xml")};
  for (int i = 0; i < 80; ++i) maps.push_back(At("/m" + std::to_string(i) + ".xml"));
  File("/sitemap.xml", Index(maps));
  crawl->Settings().extra.ignoreRobots = true;
  UseList({At("/")}, "again.txt");
  const std::size_t before = browser.Fetches().size();
  RunToEnd();
  const Rows after(browser.Fetches().begin() + static_cast<long>(before), browser.Fetches().end());
  ASSERT_EQ(after.size(), 50u);
  EXPECT_EQ(after.front(), At("/sitemap.xml"));
  EXPECT_EQ(after.back(), At("/m48.xml"));
}

TEST_F(SitemapsTest, AnAnswerForAnotherFileIsNotTakenForTheSitemapAsked) {
  File("/robots.txt", "User-agent: *\n");
  browser.AddText(At("/sitemap.xml"), {404, "", 100, true});  // never answers
  Run(&CrawlController::Start);
  for (int i = 0; i < 1000 && browser.Fetches().size() < 2; ++i) clock.Advance(100);
  ASSERT_EQ(browser.Fetches().back(), At("/sitemap.xml"));
  crawl->OnBytesFetched(At("/other.xml"), 200, UrlSet({At("/only-in-map")}));
  for (int i = 0; i < 1000 && crawl->Running(); ++i) clock.Advance(1000);
  EXPECT_EQ(browser.Navigations(), (Rows{At("/"), At("/linked")}));
}

TEST_F(SitemapsTest, WithoutTheOptionNoSitemapIsAsked) {
  crawl->Settings().extra.sitemaps = false;
  File("/robots.txt", "Sitemap: /sitemap.xml\n");
  File("/sitemap.xml", UrlSet({At("/only-in-map")}));
  RunToEnd();
  EXPECT_EQ(browser.Fetches(), (Rows{At("/robots.txt")}));
  EXPECT_EQ(browser.Navigations(), (Rows{At("/"), At("/linked")}));
}

}  // namespace
}  // namespace tolvarine
