#include "engine/robots_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tolvarine {
namespace {

RobotsRules Rules(std::string_view body) { return RobotsRules::Parse(body, "Tolvarine"); }

TEST(RobotsRulesTest, LongestMatchWinsAndAllowWinsATie) {
  EXPECT_TRUE(Rules("user-agent: *\nallow: /p\ndisallow: /\n").Allowed("/page"));
  EXPECT_TRUE(Rules("user-agent: *\nallow: /folder\ndisallow: /folder\n").Allowed("/folder/page"));
  EXPECT_TRUE(Rules("user-agent: *\ndisallow: /folder\nallow: /folder\n").Allowed("/folder/page"));
  EXPECT_FALSE(Rules("user-agent: *\nallow: /page\ndisallow: /*.htm\n").Allowed("/page.htm"));
  const RobotsRules root = Rules("user-agent: *\nallow: /$\ndisallow: /\n");
  EXPECT_TRUE(root.Allowed("/"));
  EXPECT_FALSE(root.Allowed("/page.htm"));
  EXPECT_TRUE(root.Allowed("/robots.txt"));
  EXPECT_TRUE(Rules("user-agent: *\ndisallow: /private\n").Allowed("/public?private"));
}

TEST(RobotsRulesTest, WildcardsAndEndAnchor) {
  const RobotsRules rules =
      Rules("user-agent: *\ndisallow: /*.php$\ndisallow: /a*b*c\ndisallow: /x$y\n");
  EXPECT_FALSE(rules.Allowed("/index.php"));
  EXPECT_FALSE(rules.Allowed("/dir/index.php"));
  EXPECT_TRUE(rules.Allowed("/index.php?x=1"));
  EXPECT_TRUE(rules.Allowed("/index.php5"));
  EXPECT_FALSE(rules.Allowed("/a-b-c-d"));
  EXPECT_TRUE(rules.Allowed("/a-c-b"));
  // A "$" before the end is a plain character.
  EXPECT_FALSE(rules.Allowed("/x$yz"));
  EXPECT_TRUE(rules.Allowed("/x"));
}

TEST(RobotsRulesTest, GroupsAreChosenByProductToken) {
  const std::string body =
      "disallow: /before-any-agent\n"
      "user-agent: other\ndisallow: /other\n"
      "user-agent: TOLVARINE/2.0\nuser-agent: other2\ndisallow: /one\n"
      "user-agent: *\ndisallow: /any\n"
      "user-agent: tolvarine\nallow: /one/open\ndisallow: /two\n";
  const RobotsRules rules = Rules(body);
  EXPECT_TRUE(rules.Allowed("/before-any-agent"));
  EXPECT_TRUE(rules.Allowed("/other"));
  EXPECT_TRUE(rules.Allowed("/any"));
  EXPECT_FALSE(rules.Allowed("/one"));
  EXPECT_TRUE(rules.Allowed("/one/open"));
  EXPECT_FALSE(rules.Allowed("/two"));
  EXPECT_FALSE(RobotsRules::Parse(body, "Other2").Allowed("/one"));
  // Without a group of its own the crawler follows "*"; without either, nothing is ruled.
  EXPECT_FALSE(RobotsRules::Parse(body, "Unnamed").Allowed("/any"));
  EXPECT_TRUE(Rules("user-agent: other\ndisallow: /\n").Allowed("/page"));
  // A matching group without rules allows all, "*" notwithstanding.
  EXPECT_TRUE(Rules("user-agent: *\ndisallow: /\nuser-agent: Tolvarine\n").Allowed("/page"));
  // A product token names the whole agent, not a prefix of another one's.
  EXPECT_TRUE(Rules("user-agent: Tolvarine-Extra\ndisallow: /\nuser-agent: *\nallow: /\n")
                  .Allowed("/page"));
}

TEST(RobotsRulesTest, LinesAreReadLeniently) {
  const RobotsRules rules = Rules(
      "\xEF\xBB\xBF# comment\r\nUser-Agent :\t* # everyone\r"
      "Sitemap: /map.xml\rcrawl-delay: 5\nDISALLOW:/a # comment\r\n"
      "Disallow:\n  disallow  :  b  \nallow /a/x\n");
  EXPECT_FALSE(rules.Allowed("/a/x"));
  EXPECT_FALSE(rules.Allowed("/b"));
  EXPECT_TRUE(rules.Allowed("/c"));
  EXPECT_EQ(rules.Sitemaps(), std::vector<std::string>{"/map.xml"});
  // The byte order mark, and only it, is skipped.
  EXPECT_FALSE(Rules("\xEF\xBB\xBFuser-agent: *\ndisallow: /x\n").Allowed("/x"));
}

TEST(RobotsRulesTest, PercentEncodingIsComparedNormalised) {
  EXPECT_FALSE(
      Rules("user-agent: *\ndisallow: /foo/bar/\xE3\x83\x84\n").Allowed("/foo/bar/%E3%83%84"));
  EXPECT_FALSE(
      Rules("user-agent: *\ndisallow: /foo/bar/%e3%83%84\n").Allowed("/foo/bar/\xE3\x83\x84"));
  EXPECT_FALSE(Rules("user-agent: *\ndisallow: /foo/bar/%62%61%7A\n").Allowed("/foo/bar/baz"));
  EXPECT_FALSE(Rules("user-agent: *\ndisallow: /a b|\n").Allowed("/a%20b%7c"));
  // An escaped reserved character is not the character itself.
  EXPECT_TRUE(Rules("user-agent: *\ndisallow: /a%2Fb\n").Allowed("/a/b"));
  EXPECT_TRUE(Rules("user-agent: *\ndisallow: /%2A\n").Allowed("/x"));
  // A "%" that starts no escape is the character itself.
  EXPECT_FALSE(Rules("user-agent: *\ndisallow: /a%zb\n").Allowed("/a%25zb"));
}

TEST(RobotsRulesTest, OnlyTheFirst500KiBAreRead) {
  std::string body = "user-agent: *\ndisallow: /early\n";
  body += std::string(500 * 1024 - body.size() - 13, '#');
  body += "\ndisallow: /late\n";
  const RobotsRules rules = Rules(body);
  EXPECT_FALSE(rules.Allowed("/early"));
  EXPECT_TRUE(rules.Allowed("/late"));
  EXPECT_TRUE(rules.Allowed("/l"));  // the cut line is not read as "disallow: /l"
  // 500 KiB is 512,000 bytes: a rule that ends at the last of them is read.
  std::string near = "user-agent: *\n";
  near += std::string(500 * 1024 - near.size() - 17, '#');
  near += "\ndisallow: /near\n";
  ASSERT_EQ(near.size(), 512000u);
  EXPECT_FALSE(Rules(near).Allowed("/near"));
}

TEST(RobotsRulesTest, FromAnswerFollowsTheStatus) {
  const std::string body = "user-agent: *\ndisallow: /x\n";
  EXPECT_FALSE(RobotsRules::FromAnswer(200, body, "Tolvarine").Allowed("/x"));
  EXPECT_TRUE(RobotsRules::FromAnswer(200, body, "Tolvarine").Allowed("/y"));
  for (const int status : {301, 404, 410})
    EXPECT_EQ(RobotsRules::FromAnswer(status, body, "Tolvarine"), RobotsRules::AllowAll())
        << status;
  for (const int status : {0, 429, 500, 503})
    EXPECT_EQ(RobotsRules::FromAnswer(status, body, "Tolvarine"), RobotsRules::DisallowAll())
        << status;
  EXPECT_FALSE(RobotsRules::DisallowAll().Allowed("/"));
  EXPECT_TRUE(RobotsRules::DisallowAll().Allowed("/robots.txt"));
}

TEST(RobotsRulesTest, SerializedReadsBackToTheSameRules) {
  for (const RobotsRules& rules :
       {RobotsRules::AllowAll(), RobotsRules::DisallowAll(),
        Rules(
            "user-agent: tolvarine\nallow: /a%2fb$\ndisallow: *x*\ndisallow: \xE3\x83\x84 #\n"),
        Rules("user-agent: *\ncrawl-delay: 2.05\n"),
        Rules("sitemap: http://a.cn/1.xml\nuser-agent: x\ndisallow: /\nSITEMAP: /2.xml.gz\n")}) {
    EXPECT_EQ(RobotsRules::Parse(rules.Serialized(), "Another-Bot"), rules) << rules.Serialized();
  }
}

TEST(RobotsRulesTest, CrawlDelayOfTheGroupThatApplies) {
  EXPECT_EQ(Rules("user-agent: *\ncrawl-delay: 9\nuser-agent: tolvarine\ncrawl-delay: 1.5\n")
                .CrawlDelayMs(),
            1500);
  EXPECT_EQ(Rules("user-agent: other\ncrawl-delay: 9\nuser-agent: *\ncrawl-delay: 3\n")
                .CrawlDelayMs(),
            3000);
  EXPECT_EQ(Rules("user-agent: other\ncrawl-delay: 9\n").CrawlDelayMs(), 0);
  for (const char* odd : {"crawl-delay: soon", "crawl-delay: -2", "crawl-delay: 2s"})
    EXPECT_EQ(Rules(std::string("user-agent: *\n") + odd + "\n").CrawlDelayMs(), 0) << odd;
  EXPECT_EQ(Rules("user-agent: *\ncrawl-delay: 99999999999999\n").CrawlDelayMs(), 86400000);
}

TEST(RobotsRulesTest, ManyWildcardsDoNotBlowUp) {
  std::string pattern = "/";
  for (int i = 0; i < 1000; ++i) pattern += "*a";
  const RobotsRules rules = Rules("user-agent: *\ndisallow: " + pattern + "$\n");
  EXPECT_TRUE(rules.Allowed("/" + std::string(20000, 'a') + "b"));
  EXPECT_FALSE(rules.Allowed("/" + std::string(20000, 'a')));
  EXPECT_TRUE(rules.Allowed("/" + std::string(999, 'a')));
}

}  // namespace
}  // namespace tolvarine
