// A harvest that is refused, or fails before its walk, leaves every file as it was and says
// which file or flag is wrong. None of these runs reaches the browser.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "tests/app/child_process.h"
#include "tests/support/temp_folder.h"

namespace tolvarine::testing {
namespace {

struct RefusedRun {
  const char* what;
  std::vector<std::string> flags;  // after the list; @ stands for the test's folder
  int status;
  const char* message;
  bool fromTheFolder = false;  // run in the test's folder, with @ as nothing
};

std::vector<std::string> WithFolder(std::vector<std::string> flags, const std::string& folder) {
  for (std::string& flag : flags) {
    if (const std::size_t at = flag.find('@'); at != std::string::npos)
      flag.replace(at, 1, folder);
  }
  return flags;
}

TEST(HarvestSafety, ARefusedRunLeavesEveryFileAsItWas) {
  const std::vector<RefusedRun> runs = {
      {"a missing list", {"@missing.txt", "--phones"}, 1, "missing.txt"},
      {"a folder as the list", {"@state", "--phones"}, 1, "state"},
      {"nothing to search", {"@urls.txt"}, 2, "请至少选择一个搜索项目"},
      {"numbers over the list", {"@urls.txt", "--phones", "--phones-out", "@urls.txt"}, 2,
       "urls.txt"},
      {"links over a state file",
       {"@urls.txt", "--links", "--links-out", "@state/tolvarine.ini"}, 2, "tolvarine.ini"},
      {"numbers over the state folder's lock", {"@urls.txt", "--phones", "--phones-out",
       "@state/tolvarine.lock"}, 2, "tolvarine.lock"},
      {"numbers over a shard's progress file",
       {"@urls.txt", "--phones", "--jobs", "2", "--phones-out",
        "@state/tolvarine-shard-1-of-2.ini"},
       2, "tolvarine-shard-1-of-2.ini"},
      {"a page log over a shard's crawl state",
       {"@urls.txt", "--phones", "--jobs", "2", "--depth", "1", "--page-log",
        "@state/tolvarine-crawl-0-of-2.db-wal"},
       2, "tolvarine-crawl-0-of-2.db-wal"},
      {"links over the journal of --jobs",
       {"@urls.txt", "--links", "--jobs", "3", "--links-out", "@state/tolvarine-jobs.journal"},
       2, "tolvarine-jobs.journal"},
      {"both outputs in one file",
       {"@urls.txt", "--phones", "--links", "--phones-out", "@same.txt", "--links-out",
        "@./same.txt"},
       2, "same.txt"},
      {"both outputs in one new file, named two ways",
       {"urls.txt", "--phones", "--links", "--phones-out", "new.txt", "--links-out",
        "./new.txt"},
       2, "new.txt", true},
      {"a line past the end", {"@urls.txt", "--phones", "--from", "99"}, 2, "--from 99"},
      {"a missing state folder", {"@urls.txt", "--phones", "--state", "@nowhere"}, 2,
       "nowhere"},
      {"a file as the state folder", {"@urls.txt", "--phones", "--state", "@urls.txt"}, 2,
       "urls.txt"},
      {"speed 0", {"@urls.txt", "--phones", "--speed", "0"}, 2, "--speed takes a whole number from 1 to 60"},
      {"speed abc", {"@urls.txt", "--phones", "--speed", "abc"}, 2, "--speed takes a whole number from 1 to 60"},
      {"speed 61", {"@urls.txt", "--phones", "--speed", "61"}, 2, "--speed takes a whole number from 1 to 60"},
      {"speed 1.5", {"@urls.txt", "--phones", "--speed", "1.5"}, 2, "--speed takes a whole number from 1 to 60"},
  };
  for (const RefusedRun& run : runs) {
    TempFolder dir;
    ::mkdir(dir.PathOf("state").c_str(), 0755);
    const std::string list = "http://127.0.0.1:9/a\r\n";
    dir.Write("urls.txt", list);
    dir.Write("state/tolvarine.ini", "progress");
    dir.Write("old_ph.txt", "13800000000\r\n");
    dir.Write("old_ln.txt", "http://old/\r\n");
    dir.Write("same.txt", "both\r\n");
    std::vector<std::string> args = {"harvest"};
    for (const std::string& flag : WithFolder(run.flags, run.fromTheFolder ? "" : dir.Path()))
      args.push_back(flag);
    if (std::find(args.begin(), args.end(), "--phones-out") == args.end())
      args.insert(args.end(), {"--phones-out", dir.PathOf("old_ph.txt")});
    if (std::find(args.begin(), args.end(), "--links-out") == args.end())
      args.insert(args.end(), {"--links-out", dir.PathOf("old_ln.txt")});
    if (std::find(args.begin(), args.end(), "--state") == args.end())
      args.insert(args.end(), {"--state", dir.PathOf("state")});
    args.push_back("--no-online-check");

    const std::filesystem::path here = std::filesystem::current_path();
    if (run.fromTheFolder) std::filesystem::current_path(dir.Path());
    const ProcessResult r = RunProcess(TOLVARINE_EXE, args);
    std::filesystem::current_path(here);
    EXPECT_EQ(r.status, run.status) << run.what << "\n" << r.err;
    EXPECT_NE(r.err.find(run.message), std::string::npos) << run.what << "\n" << r.err;
    EXPECT_EQ(dir.Read("urls.txt"), list) << run.what;
    EXPECT_EQ(dir.Read("state/tolvarine.ini"), "progress") << run.what;
    EXPECT_EQ(dir.Read("old_ph.txt"), "13800000000\r\n") << run.what;
    EXPECT_EQ(dir.Read("old_ln.txt"), "http://old/\r\n") << run.what;
    EXPECT_EQ(dir.Read("same.txt"), "both\r\n") << run.what;
    EXPECT_FALSE(dir.Exists("new.txt")) << run.what;
  }
}

}  // namespace
}  // namespace tolvarine::testing
