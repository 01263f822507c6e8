// tolvarine harvest through the real executable and the real browser, against pages served
// on 127.0.0.1 by the test itself.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <regex>
#include <sstream>

#include "tests/app/child_process.h"
#include "tests/support/local_http_server.h"
#include "tests/support/temp_folder.h"

namespace tolvarine::testing {
namespace {

std::vector<std::string> Sorted(std::vector<std::string> rows) {
  std::sort(rows.begin(), rows.end());
  return rows;
}

class HarvestCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    server.Page("/p1",
                "<html><body><p>电话 13812345678</p>"
                "<div data-tel=\"15912345678\"></div>"
                "<script>var t = '18612345678';</script>"
                "<a href=\"/p3\">next</a> <a href=\"http://other.example/x#top\">x</a>"
                "</body></html>");
    server.Hang("/hang");
    server.Page("/p3", "<html><body><p>13700000000</p><!-- 18000000000 --></body></html>");
    list = dir.Write("urls.txt", server.Url("/p1") + "\r\n" + server.Url("/hang") +
                                     " a remark\r\n" + server.Url("/p3") + "\r\n");
    state = dir.Path() + "state/";
    ::mkdir(state.c_str(), 0755);
  }

  std::vector<std::string> Args(std::vector<std::string> extra) {
    std::vector<std::string> args = {"harvest",     list,   "--phones",        "--links",
                                     "--dedup",     "--filter", "--interval-ms", "100",
                                     "--no-online-check", "--state", state,
                                     "--phones-out", dir.PathOf("phones.txt"),
                                     "--links-out", dir.PathOf("links.txt")};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
  }

  std::string ProgressLine(int n) {
    std::vector<std::string> lines = Rows(dir.Read("state/tolvarine.ini"));
    return static_cast<int>(lines.size()) >= n ? lines[static_cast<size_t>(n - 1)] : "";
  }

  LocalHttpServer server;
  TempFolder dir;
  std::string list;
  std::string state;
};

TEST_F(HarvestCommand, WalksTheListPastAStalledPageAndKeepsWhatItFound) {
  ProcessResult r = RunProcess(TOLVARINE_EXE, Args({}));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Sorted(Rows(dir.Read("phones.txt"))),
            (std::vector<std::string>{"13700000000", "13812345678", "15912345678",
                                      "18000000000", "18612345678"}));
  // The filter keeps the local link and refuses the one with a fragment.
  EXPECT_EQ(Rows(dir.Read("links.txt")), std::vector<std::string>{server.Url("/p3")});
  EXPECT_EQ(ProgressLine(2), "3");  // every line was read
  EXPECT_EQ(ProgressLine(3), "3");
  EXPECT_EQ(server.RequestCount("/p3"), 1);
  EXPECT_NE(r.err.find("page 3/3"), std::string::npos);
  // The page that never answers has no document to harvest: the watchdog gave it up.
  EXPECT_TRUE(r.err.ends_with("pages abandoned by the watchdog: 1\n")) << r.err;
}

// The new options and the rule lists from the command line, which leave the state
// folder's list files as they are.
TEST_F(HarvestCommand, HttpsFormattedAndRuleListsFromTheCommandLine) {
  server.Page("/s",
              "<html><body><a href=\"https://secure.example/a\">s</a>"
              "<a href=\"http://plain.example/b\">p</a>"
              "<p>138-1234-5678 17712345678 +86 159 1234 5678</p></body></html>");
  list = dir.Write("one.txt", server.Url("/s") + "\r\n");
  ProcessResult r = RunProcess(TOLVARINE_EXE, Args({"--https", "--formatted", "--prefixes",
                                                    "13,17", "--must", "http://,/",
                                                    "--must-not", "plain,#"}));
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Rows(dir.Read("links.txt")), std::vector<std::string>{"https://secure.example/a"});
  EXPECT_EQ(Rows(dir.Read("phones.txt")),
            (std::vector<std::string>{"17712345678", "13812345678"}));
  for (const char* name : {"kqwebmobset.ini", "kqweblinkok.ini", "kqweblinkno.ini",
                           "tolvarine-extra.ini"}) {
    struct stat info {};
    EXPECT_NE(::stat((state + name).c_str(), &info), 0) << name;
  }
}

TEST_F(HarvestCommand, SigtermStopsTheWalkAndFromContinuesIt) {
  {
    ChildProcess child(TOLVARINE_EXE, Args({}));
    ASSERT_TRUE(child.WaitForErrorLine("page 2/3"));
    child.Signal(SIGTERM);
    ProcessResult r = child.Finish();
    ASSERT_EQ(r.status, 0) << r.err;
  }
  EXPECT_EQ(ProgressLine(2), "2");
  EXPECT_EQ(server.RequestCount("/p3"), 0);

  ProcessResult rest = RunProcess(TOLVARINE_EXE, Args({"--from", ProgressLine(2)}));
  ASSERT_EQ(rest.status, 0) << rest.err;
  EXPECT_EQ(Sorted(Rows(dir.Read("phones.txt"))),
            (std::vector<std::string>{"13700000000", "18000000000"}));
  EXPECT_EQ(ProgressLine(2), "3");
}

// A row that cannot be written stops the walk at the page it came from, which the
// progress file leaves to be walked again; the exit status tells of the failure.
TEST_F(HarvestCommand, ARowThatCannotBeWrittenStopsTheWalkAndFails) {
  std::vector<std::string> toFullDisk = Args({});
  *std::find(toFullDisk.begin(), toFullDisk.end(), dir.PathOf("phones.txt")) = "/dev/full";
  ProcessResult full = RunProcess(TOLVARINE_EXE, toFullDisk);
  EXPECT_EQ(full.status, 1) << full.err;
  EXPECT_NE(full.err.find("Stream write error"), std::string::npos) << full.err;
  EXPECT_EQ(ProgressLine(2), "0");  // continuing walks the first page again
  EXPECT_EQ(server.RequestCount("/p3"), 0);

  // Standard output as a pipe nobody reads: the same, not a death by signal.
  std::vector<std::string> toClosedPipe = Args({});
  toClosedPipe.erase(std::find(toClosedPipe.begin(), toClosedPipe.end(), "--phones-out"),
                     std::find(toClosedPipe.begin(), toClosedPipe.end(), "--links-out"));
  ::unlink((state + "tolvarine.ini").c_str());
  ProcessResult closed = RunProcess(TOLVARINE_EXE, toClosedPipe, {}, ChildOutput::ClosedPipe);
  EXPECT_EQ(closed.status, 1) << closed.err;
  EXPECT_EQ(ProgressLine(2), "0");
  EXPECT_EQ(server.RequestCount("/p3"), 0);
}

TEST_F(HarvestCommand, AProgressFileThatCannotBeWrittenAtTheEndFails) {
  ::mkdir((state + "tolvarine.ini").c_str(), 0755);  // a folder where the file belongs
  ProcessResult r = RunProcess(TOLVARINE_EXE, Args({}));
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_EQ(Rows(dir.Read("phones.txt")).size(), 5u);  // every row is still written
}

TEST_F(HarvestCommand, RefusesToStartWithoutASearchItem) {
  ProcessResult r = RunProcess(TOLVARINE_EXE, {"harvest", list, "--no-online-check", "--state",
                                               state, "--interval-ms", "100"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("请至少选择一个搜索项目才可以开始"), std::string::npos) << r.err;
}

// Each row with the page it came from (the address after the redirect) and a time.
TEST_F(HarvestCommand, FormatCsvAndJsonlWriteEachRowWithItsPageAndTime) {
  server.Redirect("/moved", "/p1");
  list = dir.Write("urls.txt", server.Url("/moved") + "\r\n" + server.Url("/p3") + "\r\n");
  const std::regex time("\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d");
  const std::string p1 = server.Url("/p1"), p3 = server.Url("/p3");

  ProcessResult csv = RunProcess(TOLVARINE_EXE, Args({"--format", "csv"}));
  ASSERT_EQ(csv.status, 0) << csv.err;
  const std::vector<std::string> phones = Rows(dir.Read("phones.txt"));
  ASSERT_EQ(phones.size(), 6u);
  EXPECT_EQ(phones[0], "value,page,time");
  const std::regex row("(\\d+),(http://[^,]+),(.*)");
  std::map<std::string, std::string> pageOf;
  for (std::size_t i = 1; i < phones.size(); ++i) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(phones[i], m, row)) << phones[i];
    EXPECT_TRUE(std::regex_match(m[3].str(), time)) << phones[i];
    pageOf[m[1].str()] = m[2].str();
  }
  EXPECT_EQ(pageOf, (std::map<std::string, std::string>{{"13812345678", p1},
                                                        {"15912345678", p1},
                                                        {"18612345678", p1},
                                                        {"13700000000", p3},
                                                        {"18000000000", p3}}));
  const std::vector<std::string> links = Rows(dir.Read("links.txt"));
  ASSERT_EQ(links.size(), 2u);
  EXPECT_EQ(links[0], "value,page,time");
  EXPECT_TRUE(links[1].starts_with(p3 + "," + p1 + ",")) << links[1];

  ProcessResult jsonl = RunProcess(TOLVARINE_EXE, Args({"--format", "jsonl"}));
  ASSERT_EQ(jsonl.status, 0) << jsonl.err;
  const std::string text = dir.Read("links.txt");
  const std::regex object("\\{\"value\":\"" + p3 + "\",\"page\":\"" + p1 + "\",\"time\":\"" +
                          "\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\"\\}\n");
  EXPECT_TRUE(std::regex_match(text, object)) << text;
  EXPECT_EQ(Rows(dir.Read("phones.txt")).size(), 5u);

  // Another name is a usage error, before anything is walked.
  ProcessResult wrong = RunProcess(TOLVARINE_EXE, Args({"--format", "xml"}));
  EXPECT_EQ(wrong.status, 2);
  EXPECT_NE(wrong.err.find("--format takes csv or jsonl"), std::string::npos) << wrong.err;
}

}  // namespace
}  // namespace tolvarine::testing
