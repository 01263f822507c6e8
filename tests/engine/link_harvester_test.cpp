#include "engine/link_harvester.h"

#include <gtest/gtest.h>

namespace tolvarine {
namespace {

using Rows = std::vector<std::string>;

class LinkPage : public PageDocument {
 public:
  explicit LinkPage(Rows links) : links_(std::move(links)) {}
  int LinksLength() override { return static_cast<int>(links_.size()); }
  std::string LinkItem(int i) override { return links_.at(static_cast<std::size_t>(i)); }
  std::string BodyOuterText() override { return {}; }
  std::string BodyOuterHtml() override { return {}; }

 private:
  Rows links_;
};

class LinkHarvesterTest : public ::testing::Test {
 protected:
  // Harvests one page into `links` and returns the rows it added.
  Rows Harvest(const std::string& location, const Rows& pageLinks) {
    LinkPage page(pageLinks);
    const int before = links.Count();
    harvester.Harvest(location, page, rules, links, [this] { ++added; });
    return Rows(links.Rows().begin() + before, links.Rows().end());
  }

  CaseIgnoringCollator collator{"en_US"};
  LinkHarvester harvester{collator};
  LinkRules rules;
  ResultList links;
  int added = 0;
};

TEST(OnlySiteKeyTest, StripsLeadingLabelsWhileTwoRemain) {
  EXPECT_EQ(OnlySiteKey("http://www.bbs.example.com/x"), "example.com");
  EXPECT_EQ(OnlySiteKey("http://www.example.com.cn/"), "com.cn");
  EXPECT_EQ(OnlySiteKey("http://localhost/"), "localhost");
  EXPECT_EQ(OnlySiteKey("http://a.b.c.d.e.f.g.h.i.example.com/"), "g.h.i.example.com");
  // Without a "/" after the host the key is empty.
  EXPECT_EQ(OnlySiteKey("http://example.com"), "");
  EXPECT_EQ(OnlySiteKey(""), "");
}

TEST_F(LinkHarvesterTest, OnlyThisSiteTestsContainmentOfTheKey) {
  rules.onlySite = true;
  EXPECT_EQ(Harvest("http://www.example.com/a.html",
                    {"http://news.example.com/b", "http://example.org/c",
                     "http://example.org/?from=example.com"}),
            (Rows{"http://news.example.com/b", "http://example.org/?from=example.com"}));
  // An empty key occurs in no link.
  EXPECT_EQ(Harvest("http://example.com", {"http://example.com/a"}), Rows{});
  rules.onlySite = false;
  EXPECT_EQ(Harvest("http://example.com", {"http://example.com/a"}), Rows{"http://example.com/a"});
}

TEST_F(LinkHarvesterTest, OnlyPlainHttpLinksAreTaken) {
  EXPECT_EQ(Harvest("http://a.example/", {"https://a.example/1", "javascript:void(0)",
                                          "HTTP://A.EXAMPLE/2", " http://a.example/3",
                                          "http://a.example/4"}),
            Rows{"http://a.example/4"});
}

TEST_F(LinkHarvesterTest, HttpsLinksWhenAskedAlsoThroughTheDefaultRules) {
  rules.https = true;
  const Rows page{"https://a.example/1", "HTTPS://a.example/2", "http://a.example/3",
                  "https:/a.example/4"};
  EXPECT_EQ(Harvest("https://a.example/", page),
            (Rows{"https://a.example/1", "http://a.example/3"}));
  rules.filter = true;
  rules.mustContain = RuleLines("http://\r\n.");
  rules.mustNotContain = RuleLines("$\r\n#");
  EXPECT_EQ(Harvest("https://a.example/", {"https://a.example/1#top", "https://a.example/ok"}),
            Rows{"https://a.example/ok"});
  // Only a line beginning with "http://" is read that way.
  rules.mustContain = RuleLines("a.example/x");
  EXPECT_EQ(Harvest("https://a.example/", {"https://a.example/y"}), Rows{});
  rules.mustContain = RuleLines("http://a.example/x");
  EXPECT_EQ(Harvest("https://a.example/", {"https://a.example/x1", "https://b.example/x"}),
            Rows{"https://a.example/x1"});
  rules.https = false;
  EXPECT_EQ(Harvest("https://a.example/", {"https://a.example/x1"}), Rows{});
}

TEST_F(LinkHarvesterTest, FilterRules) {
  rules.filter = true;
  rules.mustContain = RuleLines("http://\r\n.");
  rules.mustNotContain = RuleLines("$\r\n#");
  EXPECT_EQ(Harvest("http://a.example/", {"http://a.example/p#top", "http://a.example/$x",
                                          "http://localhost", "http://a.example/ok"}),
            Rows{"http://a.example/ok"});
  // Empty rule lines test nothing, in either list.
  rules.mustContain = RuleLines("\r\nexample\r\n\r\n");
  rules.mustNotContain = RuleLines("\r\n");
  EXPECT_EQ(Harvest("http://a.example/", {"http://a.example/1", "http://other.test/2"}),
            Rows{"http://a.example/1"});
  // With the filter off the rules are not applied.
  rules.filter = false;
  EXPECT_EQ(Harvest("http://a.example/", {"http://a.example/p#top"}), Rows{"http://a.example/p#top"});
}

TEST_F(LinkHarvesterTest, RuleLinesAreCutTo4096Bytes) {
  const std::string rule = std::string(4096, 'a') + "zzz";
  const Rows lines = RuleLines(rule + "\r\nb");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], std::string(4096, 'a'));
  rules.filter = true;
  rules.mustContain = lines;
  EXPECT_EQ(Harvest("http://a.example/", {"http://a.example/" + std::string(4096, 'a') + "b"}).size(), 1u);
}

TEST_F(LinkHarvesterTest, RepeatsWithinAPageIgnoringCaseAreListedOnce) {
  EXPECT_EQ(Harvest("http://a.example/", {"http://a.example/X", "http://a.example/x",
                                          "http://a.example/X", "http://a.example/y"}),
            (Rows{"http://a.example/X", "http://a.example/y"}));
  // The same link on the next page is listed again.
  EXPECT_EQ(Harvest("http://a.example/2", {"http://a.example/x"}), Rows{"http://a.example/x"});
  EXPECT_EQ(added, 3);
  // An empty page address harvests nothing.
  EXPECT_EQ(Harvest("", {"http://a.example/z"}), Rows{});
}

}  // namespace
}  // namespace tolvarine
