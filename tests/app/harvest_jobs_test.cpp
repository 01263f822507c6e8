// --jobs N writes what one walk writes, whatever the options, through the real executable
// against local pages.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <map>
#include <regex>

#include "tests/app/child_process.h"
#include "tests/support/local_http_server.h"
#include "tests/support/temp_folder.h"

namespace tolvarine::testing {
namespace {

constexpr int kPages = 6;

class HarvestJobs : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string lines;
    for (int i = 1; i <= kPages; ++i) {
      const std::string n = std::to_string(i);
      // Every page gives the shared number, a number no carrier was given and the shared
      // link; two pages give links that differ only in letter case.
      server.Page("/p" + n, "<html><body><p>1380000000" + n + " 15900000000 159 0000 000" + n +
                                " 15400000000"
                                "</p><a href=\"/shared\">s</a><a href=\"/" +
                                (i % 2 ? "Case" : "case") + "\">c</a>" +
                                "<a href=\"https://secure.example/" + n + "\">h</a></body></html>");
      lines += server.Url("/p" + n) + "\r\n";
    }
    list = dir.Write("urls.txt", lines);
    ::mkdir(dir.PathOf("state").c_str(), 0755);
  }

  ProcessResult Harvest(const std::string& out, std::vector<std::string> extra) {
    std::vector<std::string> args = {
        "harvest", list, "--phones", "--links", "--interval-ms", "100", "--no-online-check",
        "--state", dir.PathOf("state"), "--phones-out", dir.PathOf(out + ".phones"),
        "--links-out", dir.PathOf(out + ".links")};
    args.insert(args.end(), extra.begin(), extra.end());
    return RunProcess(TOLVARINE_EXE, args);
  }

  // The rows of an output, sorted, with the time of CSV and JSONL rows taken out.
  std::vector<std::string> Sorted(const std::string& file) {
    static const std::regex time("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d");
    std::vector<std::string> rows;
    for (const std::string& row : Rows(dir.Read(file)))
      rows.push_back(std::regex_replace(row, time, "T"));
    std::sort(rows.begin(), rows.end());
    return rows;
  }

  // The records of a page log, sorted, with their load times taken out.
  std::vector<std::string> LogWithoutTimes(const std::string& file) {
    std::vector<std::string> out;
    for (const std::string& row : Rows(dir.Read(file)))
      out.push_back(std::regex_replace(row, std::regex(",\\d{13},\\d{13},"), ",T,"));
    std::sort(out.begin(), out.end());
    return out;
  }

  LocalHttpServer server;
  TempFolder dir;
  std::string list;
};

TEST_F(HarvestJobs, WriteWhatOneWalkWritesForEveryOptionSet) {
  const std::vector<std::vector<std::string>> optionSets = {
      {},
      {"--dedup"},
      {"--dedup", "--format", "csv"},
      {"--format", "jsonl", "--https", "--formatted"},
      {"--dedup", "--format", "csv", "--enrich", "--valid-only"},
  };
  std::string lastErr;
  for (const auto& options : optionSets) {
    std::vector<std::string> withJobs = options;
    withJobs.insert(withJobs.end(), {"--jobs", "3"});
    ProcessResult one = Harvest("one", options);
    ASSERT_EQ(one.status, 0) << one.err;
    ProcessResult jobs = Harvest("jobs", withJobs);
    ASSERT_EQ(jobs.status, 0) << jobs.err;
    const std::string what = ::testing::PrintToString(options);
    EXPECT_EQ(Sorted("jobs.phones"), Sorted("one.phones")) << what;
    EXPECT_EQ(Sorted("jobs.links"), Sorted("one.links")) << what;
    // One progress and one end for the whole run.
    EXPECT_EQ(jobs.err.find("搜索已经结束!"), jobs.err.rfind("搜索已经结束!")) << jobs.err;
    EXPECT_NE(jobs.err.find("page 6/6"), std::string::npos) << jobs.err;
    lastErr = jobs.err;
  }
  // The last set: each number with its place, and the one no carrier was given left out
  // and counted.
  const std::vector<std::string> phones = Sorted("jobs.phones");
  EXPECT_EQ(phones.back(), "value,page,time,province,city,carrier");
  EXPECT_EQ(phones.size(), static_cast<std::size_t>(kPages + 2));
  for (const std::string& row : phones) EXPECT_EQ(row.find("15400000000"), std::string::npos);
  EXPECT_NE(Sorted("one.phones")[0].find(",T,"), std::string::npos);
  EXPECT_NE(lastErr.find("1 number dropped"), std::string::npos) << lastErr;
  // The jsonl set: a link on every page is a row for every page, and links that differ in
  // letter case are rows of their own.
  ASSERT_EQ(Harvest("jobs", {"--format", "jsonl", "--jobs", "3"}).status, 0);
  const std::vector<std::string> links = Sorted("jobs.links");
  EXPECT_EQ(std::count_if(links.begin(), links.end(),
                          [](const std::string& row) { return row.find("/shared\"") != std::string::npos; }),
            kPages);
  EXPECT_EQ(std::count_if(links.begin(), links.end(),
                          [](const std::string& row) { return row.find("/Case\"") != std::string::npos; }),
            kPages / 2);
}

TEST_F(HarvestJobs, DedupRunTwiceIntoTheSameOutputWritesTheSameRows) {
  ASSERT_EQ(Harvest("j", {"--dedup", "--jobs", "3"}).status, 0);
  const std::vector<std::string> first = Sorted("j.phones");
  EXPECT_EQ(first.size(), static_cast<std::size_t>(kPages + 2));
  ASSERT_EQ(Harvest("j", {"--dedup", "--jobs", "3"}).status, 0);
  EXPECT_EQ(Sorted("j.phones"), first);
}

TEST_F(HarvestJobs, AShardThatFailsFailsTheRun) {
  // Shard 1 cannot write its progress file: a folder stands where it belongs.
  ::mkdir(dir.PathOf("state/tolvarine-shard-1-of-3.ini").c_str(), 0755);
  ProcessResult r = Harvest("j", {"--jobs", "3"});
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.err.find("shard 1/3 did not finish"), std::string::npos) << r.err;
}

TEST_F(HarvestJobs, ContinuedCsvKeepsOneHeaderAndEndsARowCutShort) {
  ASSERT_EQ(Harvest("j", {"--jobs", "2", "--format", "csv", "--dedup"}).status, 0);
  // A row cut short by a kill.
  dir.Write("j.phones", dir.Read("j.phones") + "1380");
  ProcessResult rest = Harvest("j", {"--jobs", "2", "--format", "csv", "--dedup", "--continue"});
  ASSERT_EQ(rest.status, 0) << rest.err;
  const std::vector<std::string> rows = Rows(dir.Read("j.phones"));
  EXPECT_EQ(std::count(rows.begin(), rows.end(), "value,page,time"), 1);
  EXPECT_EQ(std::count(rows.begin(), rows.end(), "1380"), 1);
  EXPECT_EQ(rows.size(), static_cast<std::size_t>(kPages + 4));
}

TEST_F(HarvestJobs, ContinueWithTheProgressOfAnotherListWalksTheNewList) {
  const std::string other = dir.Write("other.txt", server.Url("/p1") + "\r\n");
  ProcessResult first = RunProcess(
      TOLVARINE_EXE, {"harvest", other, "--phones", "--interval-ms", "100", "--no-online-check",
                      "--state", dir.PathOf("state"), "--format", "csv", "--phones-out",
                      dir.PathOf("other.phones")});
  ASSERT_EQ(first.status, 0) << first.err;
  // The links output, on standard output, was not asked for: not even a header goes there.
  EXPECT_EQ(first.out, "");
  ProcessResult r = Harvest("new", {"--continue"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.err.find("no saved position"), std::string::npos) << r.err;
  EXPECT_EQ(server.RequestCount("/p1"), 2);
  for (int i = 2; i <= kPages; ++i)
    EXPECT_EQ(server.RequestCount("/p" + std::to_string(i)), 1) << i;
}

}  // namespace
}  // namespace tolvarine::testing

namespace tolvarine::testing {
namespace {

// The page log: one record for every line, each with how it ended, and the same records
// from --jobs as from one walk (times aside); the report is made from it.
TEST_F(HarvestJobs, PageLogTellsHowEachPageEndedAndJobsLogTheSame) {
  server.Redirect("/moved", "/p2");
  server.Hang("/hang");
  list = dir.Write("mixed.txt", server.Url("/p1") + "\r\n (a remark with no address)\r\n" +
                                    server.Url("/moved") + "\r\n" + server.Url("/hang") +
                                    "\r\n" + server.Url("/p3") + "\r\n");
  ProcessResult one =
      Harvest("one", {"--dedup", "--page-log", dir.PathOf("one.log"), "--report",
                      dir.PathOf("one.html")});
  ASSERT_EQ(one.status, 0) << one.err;
  // line, depth, listed, final, site, start, end, outcome, phones new/all, links new/all
  const std::regex record("(\\d+),0,([^,]*),([^,]*),([^,]*),(\\d+),(\\d+),([a-z-]+),(\\d+,\\d+,\\d+,\\d+),.*");
  std::map<std::string, std::string> outcomes;  // line -> outcome and counts
  std::vector<std::string> rows = Rows(dir.Read("one.log"));
  ASSERT_EQ(rows.size(), 6u);
  EXPECT_EQ(rows[0], "line,depth,listed,final,site,start_ms,end_ms,outcome,phones_new,"
                     "phones_all,links_new,links_all,status,error");
  for (std::size_t i = 1; i < rows.size(); ++i) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(rows[i], m, record)) << rows[i];
    EXPECT_LE(std::stoll(m[5]), std::stoll(m[6])) << rows[i];
    outcomes[m[1]] = m[7].str() + " " + m[8].str();
    if (m[1] == "3") {
      EXPECT_EQ(m[3].str(), server.Url("/p2")) << "the address after the redirect";
    }
  }
  // Each page: three numbers (six with the markup's), three links of which the https one is
  // not kept.
  EXPECT_EQ(outcomes["1"], "harvested 3,6,2,3");
  EXPECT_EQ(outcomes["2"], "not-an-address 0,0,0,0");
  EXPECT_EQ(outcomes["3"], "harvested 1,6,2,3");  // the shared numbers are not new
  EXPECT_EQ(outcomes["4"], "abandoned 0,0,0,0");
  EXPECT_EQ(outcomes["5"], "harvested 1,6,2,3");
  const std::string report = dir.Read("one.html");
  EXPECT_NE(report.find("<table id=\"sites\">"), std::string::npos);
  EXPECT_FALSE(dir.Exists("one.html.pages-0.tmp"));

  ProcessResult jobs = Harvest("jobs", {"--dedup", "--jobs", "3", "--page-log",
                                        dir.PathOf("jobs.log")});
  ASSERT_EQ(jobs.status, 0) << jobs.err;
  EXPECT_EQ(LogWithoutTimes("jobs.log"), LogWithoutTimes("one.log"));
}

// With --enrich each record counts its new numbers by province and carrier, and --jobs
// recounts them as one walk counts them.
TEST_F(HarvestJobs, EnrichedPageLogCountsPlacesAndJobsCountTheSame) {
  const std::vector<std::string> options = {"--dedup", "--format", "csv", "--enrich"};
  auto with = [&](std::vector<std::string> more) {
    more.insert(more.begin(), options.begin(), options.end());
    return more;
  };
  ProcessResult one = Harvest("one", with({"--page-log", dir.PathOf("one.log")}));
  ASSERT_EQ(one.status, 0) << one.err;
  ProcessResult jobs = Harvest("jobs", with({"--jobs", "3", "--page-log", dir.PathOf("jobs.log")}));
  ASSERT_EQ(jobs.status, 0) << jobs.err;
  const std::vector<std::string> rows = Rows(dir.Read("one.log"));
  ASSERT_EQ(rows.size(), 1u + kPages);
  EXPECT_TRUE(rows[0].ends_with(",links_all,provinces,carriers,status,error")) << rows[0];
  // The first page gives all three numbers, 15400000000 among them: no valid number
  // ("无效号码" in GBK). The pages after it give one new number each.
  const std::string invalid = "\xce\xde\xd0\xa7\xba\xc5\xc2\xeb:1";
  EXPECT_NE(rows[1].find(invalid), std::string::npos) << rows[1];
  EXPECT_EQ(rows[2].find(invalid), std::string::npos) << rows[2];
  EXPECT_EQ(LogWithoutTimes("jobs.log"), LogWithoutTimes("one.log"));

  // Without --dedup the parent writes the shards' rows as they come, and counts their
  // places all the same.
  const std::vector<std::string> plain = {"--format", "csv", "--enrich", "--page-log"};
  auto logTo = [&](const std::string& log) {
    std::vector<std::string> args = plain;
    args.push_back(dir.PathOf(log));
    return args;
  };
  ASSERT_EQ(Harvest("one-all", logTo("one-all.log")).status, 0);
  std::vector<std::string> jobsAll = logTo("jobs-all.log");
  jobsAll.insert(jobsAll.end(), {"--jobs", "3"});
  ASSERT_EQ(Harvest("jobs-all", jobsAll).status, 0);
  EXPECT_EQ(LogWithoutTimes("jobs-all.log"), LogWithoutTimes("one-all.log"));
}

}  // namespace
}  // namespace tolvarine::testing
