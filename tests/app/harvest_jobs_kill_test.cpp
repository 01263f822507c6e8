// harvest --jobs killed without warning (the parent, one shard, or all of them) and
// continued: nothing lost, and nothing written twice but the rows of a page in flight.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <dirent.h>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#include "tests/app/child_process.h"
#include "tests/support/local_http_server.h"
#include "tests/support/temp_folder.h"

namespace tolvarine::testing {
namespace {

constexpr int kLines = 12;
constexpr int kJobs = 3;

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Every process running now with its parent and state ('Z' for one that has ended).
struct ProcessInfo {
  int parent;
  char state;
};
std::map<int, ProcessInfo> Processes() {
  std::map<int, ProcessInfo> processes;
  DIR* proc = ::opendir("/proc");
  while (dirent* entry = proc ? ::readdir(proc) : nullptr) {
    const int pid = std::atoi(entry->d_name);
    if (pid <= 0) continue;
    const std::string stat = FileText("/proc/" + std::to_string(pid) + "/stat");
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos) continue;
    std::istringstream rest(stat.substr(close + 2));
    ProcessInfo info{};
    rest >> info.state >> info.parent;
    processes[pid] = info;
  }
  if (proc) ::closedir(proc);
  return processes;
}

// The processes below pid: its shards and their browser processes.
std::vector<int> Descendants(int pid) {
  const std::map<int, ProcessInfo> all = Processes();
  std::vector<int> found = {pid};
  for (std::size_t i = 0; i < found.size(); ++i) {
    for (const auto& [child, info] : all)
      if (info.parent == found[i]) found.push_back(child);
  }
  found.erase(found.begin());
  return found;
}

bool Running(int pid) {
  const auto all = Processes();
  const auto it = all.find(pid);
  return it != all.end() && it->second.state != 'Z';
}

// Waits until none of the processes runs; false when one still runs after five seconds.
bool AllEndWithinFiveSeconds(const std::vector<int>& pids) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  for (;;) {
    bool any = false;
    for (int pid : pids) any = any || Running(pid);
    if (!any) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

class HarvestJobsKilled : public ::testing::Test {
 protected:
  void SetUp() override {
    port = std::to_string(server.Port());
    // Every line on a site of its own, reached through the test's server as proxy, so that
    // --depth deals the lines to the shards by site.
    env = {"QTWEBENGINE_CHROMIUM_FLAGS=--proxy-server=127.0.0.1:" + port};
    std::string lines;
    for (int i = 1; i <= kLines; ++i) {
      const std::string n = std::to_string(100 + i);
      const std::string host = "www.site" + n + ".cn";
      server.Page(host + "/", "<html><body><p>13800000" + n + " 15900000000</p><a href=\"/sub\">s</a></body></html>");
      server.Page(host + "/sub", "<html><body><p>13700000" + n + " 15900000000</p></body></html>");
      lines += "http://" + host + ":" + port + "/\r\n";
    }
    list = dir.Write("urls.txt", lines);
    ::mkdir(dir.PathOf("state").c_str(), 0755);
  }

  std::vector<std::string> Args(const std::string& out, std::vector<std::string> extra) {
    std::vector<std::string> args = {
        "harvest", list, "--phones", "--links", "--format", "csv", "--interval-ms", "100",
        "--no-online-check", "--state", dir.PathOf("state"), "--phones-out",
        dir.PathOf(out + ".phones"), "--links-out", dir.PathOf(out + ".links"), "--page-log",
        dir.PathOf(out + ".log")};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
  }

  // The first `fields` fields of each row of a file but its header, counted.
  std::map<std::string, int> Counted(const std::string& file, int fields) {
    std::map<std::string, int> counts;
    const std::vector<std::string> rows = Rows(dir.Read(file));
    for (std::size_t i = 1; i < rows.size(); ++i) {
      std::size_t end = 0;
      for (int f = 0; f < fields && end != std::string::npos; ++f)
        end = rows[i].find(',', end == 0 && f == 0 ? 0 : end + 1);
      ++counts[rows[i].substr(0, end)];
    }
    return counts;
  }

  // Everything the uninterrupted run wrote is there; what is there twice came from at most
  // one page a shard (the page in flight at the kill). `pageField`: the field of a row's
  // page; `exactlyOnce`: no repeat at all.
  void ExpectNothingLost(const std::string& file, const std::string& whole, int fields,
                         bool exactlyOnce) {
    const std::map<std::string, int> expected = Counted(whole, fields);
    const std::map<std::string, int> got = Counted(file, fields);
    std::set<std::string> repeatedPages;
    for (const auto& [row, n] : expected) {
      const auto it = got.find(row);
      ASSERT_NE(it, got.end()) << file << " lost " << row;
      if (it->second > n) repeatedPages.insert(row.substr(row.find(',') + 1));
    }
    for (const auto& [row, n] : got) EXPECT_TRUE(expected.contains(row)) << file << ": " << row;
    if (exactlyOnce) {
      EXPECT_TRUE(repeatedPages.empty()) << file;
    } else {
      EXPECT_LE(repeatedPages.size(), static_cast<std::size_t>(kJobs)) << file;
    }
  }

  // Runs the walk whole, then with --jobs killed as `kill` does once a few pages are done,
  // then continued: checks each output against the whole walk's.
  void KillAndContinue(const std::vector<std::string>& options,
                       const std::function<void(ChildProcess&)>& kill) {
    ProcessResult whole = RunProcess(TOLVARINE_EXE, Args("whole", options), env);
    ASSERT_EQ(whole.status, 0) << whole.err;
    std::vector<std::string> jobs = options;
    jobs.insert(jobs.end(), {"--jobs", std::to_string(kJobs)});
    {
      ChildProcess run(TOLVARINE_EXE, Args("j", jobs), env);
      // A crawl's progress counts its list's lines as "line", a list walk's as "page".
      const bool crawl = std::find(options.begin(), options.end(), "--depth") != options.end();
      ASSERT_TRUE(run.WaitForErrorLine(crawl ? "line 5/" : "page 5/"));
      kill(run);
      run.Finish();
    }
    jobs.push_back("--continue");
    ProcessResult rest = RunProcess(TOLVARINE_EXE, Args("j", jobs), env);
    ASSERT_EQ(rest.status, 0) << rest.err;
    const bool dedup = std::find(options.begin(), options.end(), "--dedup") != options.end();
    // Numbers and links by value and page; page records by line, depth, listed and final.
    ExpectNothingLost("j.phones", "whole.phones", 2, dedup);
    ExpectNothingLost("j.links", "whole.links", 2, false);
    ExpectNothingLost("j.log", "whole.log", 4, false);
    if (dedup) {
      EXPECT_EQ(Counted("j.phones", 1), Counted("whole.phones", 1));
    }
    EXPECT_FALSE(dir.Exists("state/tolvarine-jobs.journal"));
  }

  LocalHttpServer server;
  TempFolder dir;
  std::string port, list;
  std::vector<std::string> env;
};

TEST_F(HarvestJobsKilled, TheParentKilledTakesItsShardsAndBrowsersAlongAndLosesNothing) {
  KillAndContinue({"--dedup"}, [](ChildProcess& run) {
    const std::vector<int> below = Descendants(run.Pid());
    ASSERT_GE(below.size(), static_cast<std::size_t>(kJobs));
    run.Signal(SIGKILL);
    EXPECT_TRUE(AllEndWithinFiveSeconds(below));
  });
}

TEST_F(HarvestJobsKilled, OneShardKilledLosesNothing) {
  KillAndContinue({"--depth", "1"}, [](ChildProcess& run) {
    for (int pid : Descendants(run.Pid())) {
      if (FileText("/proc/" + std::to_string(pid) + "/cmdline").find("--shard") !=
          std::string::npos) {
        ::kill(pid, SIGKILL);
        break;
      }
    }
  });
}

TEST_F(HarvestJobsKilled, TheWholeGroupKilledLosesNothing) {
  KillAndContinue({"--dedup", "--depth", "1"}, [](ChildProcess& run) {
    const std::vector<int> below = Descendants(run.Pid());
    run.Signal(SIGKILL);
    for (int pid : below) ::kill(pid, SIGKILL);
  });
}

}  // namespace
}  // namespace tolvarine::testing
