// harvest --depth against a local site of several hosts and sites: which pages the server is
// asked for (each once), robots.txt, a kill and --continue, and --jobs against one walk.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <map>
#include <regex>

#include "tests/app/child_process.h"
#include "tests/support/local_http_server.h"
#include "tests/support/temp_folder.h"

namespace tolvarine::testing {
namespace {


class HarvestFollow : public ::testing::Test {
 protected:
  void SetUp() override {
    port = std::to_string(server.Port());
    // Every host name the pages use reaches the test's server on 127.0.0.1, as its proxy.
    env = {"QTWEBENGINE_CHROMIUM_FLAGS=--proxy-server=127.0.0.1:" + port};
    // Line 1: www and bbs of one site under com.cn, a cycle, a fragment, letter cases, an
    // image, robots rules, an off-site redirect, another site, and a chain deeper than 3.
    Page("www.shop.com.cn/", 1,
         {U("bbs.shop.com.cn", "/a#top"), U("WWW.Shop.com.cn", "/b"), "/logo.png",
          "/private/p", "/private/open", U("other.cn", "/x"), U("b.com.cn", "/"), "/#again",
          "/docs/manual.PDF"});
    Page("bbs.shop.com.cn/a", 2, {U("www.shop.com.cn", "/b"), U("www.shop.com.cn", "/deep1"), "/a"});
    server.Redirect("www.shop.com.cn/b", U("elsewhere.org", "/b"));
    Page("elsewhere.org/b", 3, {U("www.shop.com.cn", "/never")});
    Page("www.shop.com.cn/private/open", 4, {});
    Page("www.shop.com.cn/deep1", 5, {"/deep2"});
    Page("www.shop.com.cn/deep2", 6, {"/deep3"});
    Page("www.shop.com.cn/deep3", 99, {});
    server.Route("www.shop.com.cn/robots.txt",
                 {200, "text/plain", {}, "User-agent: *\nDisallow: /private\nAllow: /private/open\n"});
    // Line 2: another site whose robots.txt is missing (all allowed).
    Page("b.com.cn/", 7, {"/next", "/next#x"});
    Page("b.com.cn/next", 8, {});
    // Line 3: an endless calendar, each day linking the next five, cut by --max-pages.
    for (int d = 0; d < 40; ++d) {
      std::vector<std::string> next;
      for (int k = 1; k <= 5; ++k) next.push_back("/cal?d=" + std::to_string(d + k));
      Page("cal.example.net/cal?d=" + std::to_string(d), 10 + d, next);
    }
    list = dir.Write("urls.txt", U("www.shop.com.cn", "/") + "\r\n" + U("b.com.cn", "/") + "\r\n" +
                                     U("cal.example.net", "/cal?d=0") + "\r\n");
    ::mkdir(dir.PathOf("state").c_str(), 0755);
  }

  std::string U(const std::string& host, const std::string& path) const {
    return "http://" + host + ":" + port + path;
  }
  // A page with its number (13800000000 + n) and links.
  void Page(const std::string& route, int n, const std::vector<std::string>& links) {
    std::string html = "<html><body><p>" + std::to_string(13800000000LL + n) + "</p>";
    for (const std::string& link : links) html += "<a href=\"" + link + "\">x</a>";
    server.Page(route, html + "</body></html>");
  }

  std::vector<std::string> Args(const std::string& out, std::vector<std::string> extra) {
    std::vector<std::string> args = {
        "harvest", list, "--phones", "--dedup", "--depth", "3", "--max-pages", "7",
        "--interval-ms", "150", "--no-online-check", "--state", dir.PathOf("state"),
        "--phones-out", dir.PathOf(out)};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
  }
  std::vector<std::string> Sorted(const std::string& file) {
    std::vector<std::string> rows = Rows(dir.Read(file));
    std::sort(rows.begin(), rows.end());
    return rows;
  }
  // How often each host/target was asked for, robots.txt included.
  std::map<std::string, int> Asked() const {
    std::map<std::string, int> asked;
    for (const HttpRequestRecord& r : server.Requests()) ++asked[LocalHttpServer::RouteKey(r)];
    return asked;
  }

  LocalHttpServer server;
  TempFolder dir;
  std::string port, list;
  std::vector<std::string> env;
};

const std::map<std::string, int> kOneCrawl = {
    {"www.shop.com.cn/", 1}, {"bbs.shop.com.cn/robots.txt", 1}, {"bbs.shop.com.cn/a", 1},
    {"www.shop.com.cn/robots.txt", 1}, {"www.shop.com.cn/b", 1}, {"elsewhere.org/b", 1},
    {"www.shop.com.cn/private/open", 1}, {"www.shop.com.cn/deep1", 1},
    {"www.shop.com.cn/deep2", 1}, {"b.com.cn/", 1}, {"b.com.cn/robots.txt", 1},
    {"b.com.cn/next", 1}, {"cal.example.net/cal?d=0", 1}, {"cal.example.net/robots.txt", 1},
    {"cal.example.net/cal?d=1", 1}, {"cal.example.net/cal?d=2", 1},
    {"cal.example.net/cal?d=3", 1}, {"cal.example.net/cal?d=4", 1},
    {"cal.example.net/cal?d=5", 1}, {"cal.example.net/cal?d=6", 1}};

// The calendar's line, cut at 7 pages, leaves d7 to d11 unwalked: said once, and logged.
const char kCalendarCut[] = "line 3: page limit of 7 reached, 5 links not walked\n";

TEST_F(HarvestFollow, AsksForEachPageOfTheScopeOnceToTheDepth) {
  ProcessResult r =
      RunProcess(TOLVARINE_EXE, Args("one.txt", {"--page-log", dir.PathOf("pages.csv")}), env);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find(kCalendarCut), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find(kCalendarCut), r.err.rfind(kCalendarCut));
  EXPECT_NE(r.err.find("line 3/3  pages "), std::string::npos) << r.err;
  const std::string log = dir.Read("pages.csv");
  EXPECT_TRUE(std::regex_search(log, std::regex("\n3,0,http://cal[^,]*,,cal[^,]*,\\d+,\\d+,limit,0,0,0,5,")))
      << log;
  // /private/p refused, the image and the document never asked for, deep3 beyond the
  // depth, other.cn and the redirect target's links off the site, the calendar cut at 7.
  EXPECT_EQ(Asked(), kOneCrawl);
  std::vector<std::string> numbers = Sorted("one.txt");
  EXPECT_EQ(numbers, (std::vector<std::string>{
                         "13800000001", "13800000002", "13800000004", "13800000005",
                         "13800000006", "13800000007", "13800000008", "13800000010",
                         "13800000011", "13800000012", "13800000013", "13800000014",
                         "13800000015", "13800000016"}));
}

TEST_F(HarvestFollow, JobsAskForWhatOneWalkAsksFor) {
  ProcessResult one = RunProcess(TOLVARINE_EXE, Args("one.txt", {"--format", "csv"}), env);
  ASSERT_EQ(one.status, 0) << one.err;
  const std::map<std::string, int> asked = Asked();
  EXPECT_EQ(asked, kOneCrawl);
  ProcessResult jobs = RunProcess(
      TOLVARINE_EXE, Args("jobs.txt", {"--format", "csv", "--jobs", "3"}),
      env);
  ASSERT_EQ(jobs.status, 0) << jobs.err;
  // The lines go to the shards by site: the progress counts those each shard walks.
  EXPECT_NE(jobs.err.find("line 3/3  pages "), std::string::npos) << jobs.err;
  EXPECT_NE(jobs.err.find(kCalendarCut), std::string::npos) << jobs.err;
  EXPECT_EQ(jobs.err.find(kCalendarCut), jobs.err.rfind(kCalendarCut));
  std::map<std::string, int> twice = asked;
  for (auto& [route, n] : twice) n *= 2;
  EXPECT_EQ(Asked(), twice);
  static const std::regex time("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d");
  auto timeless = [&](const std::string& file) {
    std::vector<std::string> rows;
    for (const std::string& row : Sorted(file)) rows.push_back(std::regex_replace(row, time, "T"));
    return rows;
  };
  EXPECT_EQ(timeless("jobs.txt"), timeless("one.txt"));
}

TEST_F(HarvestFollow, AKilledCrawlContinuesWithoutAskingForAPageTwice) {
  server.Hang("www.shop.com.cn/deep2");
  ChildProcess walk(TOLVARINE_EXE, Args("k.txt", {}), env);
  // deep1 is harvested (the fourth number) and deep2 hangs.
  ASSERT_TRUE(walk.WaitForErrorLine("phones 4"));
  walk.Signal(SIGKILL);
  walk.Finish();
  Page("www.shop.com.cn/deep2", 6, {"/deep3"});
  ProcessResult r = RunProcess(TOLVARINE_EXE, Args("k.txt", {"--continue"}), env);
  ASSERT_EQ(r.status, 0) << r.err;
  std::map<std::string, int> asked = Asked();
  // The page in flight at the kill may be asked for again; no other page is.
  EXPECT_LE(asked["www.shop.com.cn/deep2"], 2);
  asked["www.shop.com.cn/deep2"] = 1;
  EXPECT_EQ(asked, kOneCrawl);
  std::vector<std::string> numbers = Sorted("k.txt");
  EXPECT_EQ(numbers.size(), 14u);
  EXPECT_EQ(std::unique(numbers.begin(), numbers.end()), numbers.end());
}

}  // namespace
}  // namespace tolvarine::testing
