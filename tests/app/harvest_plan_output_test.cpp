// What harvest's flags make of a run and of its outputs, through the real executable:
// refused flag sets, the rows of --enrich, a walk without --dedup continued, the report of
// --jobs, and the flags a --jobs crawl hands its shards.
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

class HarvestPlanOutput : public ::testing::Test {
 protected:
  void SetUp() override {
    // Each page: its own number, the shared one and 15400000000, which is no valid number.
    for (int i = 1; i <= 3; ++i) {
      const std::string n = std::to_string(i);
      server.Page("/p" + n, "<html><body><p>1380000000" + n +
                                " 15900000000 15400000000</p><a href=\"/p" + n +
                                "/next\">x</a></body></html>");
    }
    ::mkdir(dir.PathOf("state").c_str(), 0755);
  }

  std::string List(const std::string& name, const std::vector<std::string>& paths) {
    std::string lines;
    for (const std::string& path : paths) lines += server.Url(path) + "\r\n";
    return dir.Write(name, lines);
  }
  std::vector<std::string> Args(const std::string& list, const std::string& out,
                                std::vector<std::string> extra) {
    std::vector<std::string> args = {
        "harvest", list, "--phones", "--links", "--format", "csv", "--interval-ms", "100",
        "--no-online-check", "--state", dir.PathOf("state"), "--phones-out",
        dir.PathOf(out + ".phones"), "--links-out", dir.PathOf(out + ".links")};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
  }
  long Count(const std::string& file, const std::string& text) {
    const std::vector<std::string> rows = Rows(dir.Read(file));
    return std::count_if(rows.begin(), rows.end(),
                         [&](const std::string& row) { return row.find(text) != std::string::npos; });
  }
  // The report's "new / all" numbers.
  std::string ReportNumbers(const std::string& file) {
    std::smatch m;
    const std::string html = dir.Read(file);
    static const std::regex cell("手机号码（新 / 全部）</th><td class=\"n\">([0-9]+ / [0-9]+)<");
    return std::regex_search(html, m, cell) ? m[1].str() : "none";
  }

  LocalHttpServer server;
  TempFolder dir;
};

TEST_F(HarvestPlanOutput, FlagsThatCannotWorkTogetherAreRefused) {
  const std::string list = List("urls.txt", {"/p1"});
  for (const std::vector<std::string>& flags :
       {std::vector<std::string>{"--jobs", "2", "--from", "1"},
        std::vector<std::string>{"--ignore-robots"}}) {
    ProcessResult r = RunProcess(TOLVARINE_EXE, Args(list, "x", flags));
    EXPECT_EQ(r.status, 2) << flags[0] << r.err;
  }
  EXPECT_FALSE(dir.Exists("x.phones"));
  EXPECT_EQ(server.Requests().size(), 0u);

  // A log without a record makes no report.
  dir.Write("empty.log",
            "line,depth,listed,final,site,start_ms,end_ms,outcome,phones_new,phones_all,"
            "links_new,links_all\r\n");
  ProcessResult r = RunProcess(
      TOLVARINE_EXE, {"report", dir.PathOf("empty.log"), "-o", dir.PathOf("r.html")});
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_FALSE(dir.Exists("r.html"));
}

TEST_F(HarvestPlanOutput, EnrichedRowsAndTheReportOfJobs) {
  const std::string list = List("urls.txt", {"/p1", "/p2", "/p3"});
  ProcessResult one =
      RunProcess(TOLVARINE_EXE, Args(list, "one", {"--enrich", "--report", dir.PathOf("one.html")}));
  ASSERT_EQ(one.status, 0) << one.err;
  // Links carry no place; without --valid-only the invalid number is kept, with no place.
  EXPECT_EQ(Rows(dir.Read("one.links")).at(0), "value,page,time");
  EXPECT_EQ(Rows(dir.Read("one.phones")).at(0), "value,page,time,province,city,carrier");
  const std::regex invalid("15400000000,http://[^,]*/p[123],[^,]+,,,");
  const std::vector<std::string> phones = Rows(dir.Read("one.phones"));
  EXPECT_GT(Count("one.phones", "15400000000"), 0);
  EXPECT_EQ(std::count_if(phones.begin(), phones.end(),
                          [&](const std::string& row) { return std::regex_match(row, invalid); }),
            Count("one.phones", "15400000000"));

  // --report without --page-log: the shards send their pages all the same.
  ProcessResult jobs = RunProcess(
      TOLVARINE_EXE,
      Args(list, "jobs", {"--enrich", "--jobs", "2", "--report", dir.PathOf("jobs.html")}));
  ASSERT_EQ(jobs.status, 0) << jobs.err;
  EXPECT_NE(ReportNumbers("one.html"), "none");
  EXPECT_EQ(ReportNumbers("jobs.html"), ReportNumbers("one.html"));
}

// Without --dedup a continued walk writes each page's numbers, those the walk before wrote
// included.
TEST_F(HarvestPlanOutput, AContinuedWalkWithoutDedupWritesTheSharedNumberForEveryPage) {
  // The walk is stopped while the page of line 2, which has no number, is loading.
  server.Route("/slow", {200, "text/html", {}, "<p>slow</p>", HttpResponse::Mode::Answer, 3000});
  const std::string list = List("urls.txt", {"/p1", "/slow", "/p3"});
  {
    ChildProcess child(TOLVARINE_EXE, Args(list, "w", {}));
    ASSERT_TRUE(child.WaitForErrorLine("page 2/3"));
    child.Signal(SIGTERM);
    ASSERT_EQ(child.Finish().status, 143);
  }
  // Each page gives its numbers twice (its text and its markup); the rows of /p1 first.
  const long first = Count("w.phones", "15900000000");
  EXPECT_GT(first, 0);
  ProcessResult rest = RunProcess(TOLVARINE_EXE, Args(list, "w", {"--continue"}));
  ASSERT_EQ(rest.status, 0) << rest.err;
  EXPECT_EQ(server.RequestCount("/p3"), 1);
  EXPECT_EQ(Count("w.phones", "15900000000"), 2 * first);
  EXPECT_EQ(Count("w.phones", "value,page,time"), 1);
}

// A crawl with --ignore-robots under --jobs asks for what one walk asks for, and logs the
// same pages at the same depths.
TEST_F(HarvestPlanOutput, JobsCrawlIgnoringRobotsAsOneWalkDoes) {
  const std::string port = std::to_string(server.Port());
  const auto u = [&](const std::string& path) { return "http://www.a.example:" + port + path; };
  const std::vector<std::string> env = {"QTWEBENGINE_CHROMIUM_FLAGS=--proxy-server=127.0.0.1:" +
                                        port};
  server.Page("www.a.example/", "<p>13800000001</p><a href=\"/private/p\">p</a><a href=\"/b\">b</a>");
  server.Page("www.a.example/private/p", "<p>13800000002</p>");
  server.Page("www.a.example/b", "<p>13800000003</p><a href=\"/c\">c</a>");
  server.Page("www.a.example/c", "<p>13800000004</p>");
  server.Route("www.a.example/robots.txt", {200, "text/plain", {}, "User-agent: *\nDisallow: /\n"});
  const std::string list = dir.Write("site.txt", u("/") + "\r\n");
  const auto crawl = [&](const std::string& out, std::vector<std::string> more) {
    more.insert(more.end(), {"--depth", "3", "--ignore-robots", "--page-log", dir.PathOf(out + ".log")});
    return RunProcess(TOLVARINE_EXE, Args(list, out, more), env);
  };
  ASSERT_EQ(crawl("one", {}).status, 0);
  ASSERT_EQ(server.HostRequestCount("www.a.example/private/p"), 1);
  ProcessResult jobs = crawl("jobs", {"--jobs", "3"});
  ASSERT_EQ(jobs.status, 0) << jobs.err;
  EXPECT_EQ(server.HostRequestCount("www.a.example/private/p"), 2);
  EXPECT_EQ(server.HostRequestCount("www.a.example/c"), 2);
  const auto records = [&](const std::string& file) {
    std::vector<std::string> out;
    for (const std::string& row : Rows(dir.Read(file)))
      out.push_back(std::regex_replace(row, std::regex(",\\d{13},\\d{13},"), ",T,"));
    std::sort(out.begin(), out.end());
    return out;
  };
  const std::vector<std::string> log = records("one.log");
  EXPECT_EQ(log.size(), 5u);
  EXPECT_EQ(std::count_if(log.begin(), log.end(),
                          [](const std::string& row) { return row.starts_with("1,2,"); }),
            1);
  EXPECT_EQ(records("jobs.log"), log);
}

}  // namespace
}  // namespace tolvarine::testing
