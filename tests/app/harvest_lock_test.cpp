// One walk a state folder: a second harvest on a folder in use is refused at once, naming
// the folder and the walk's process, and leaves its outputs as they were.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/app/child_process.h"
#include "tests/support/local_http_server.h"
#include "tests/support/temp_folder.h"

namespace tolvarine::testing {
namespace {

TEST(HarvestLock, ASecondWalkOnAFolderInUseIsRefusedAtOnce) {
  LocalHttpServer server;
  server.Hang("/slow");
  TempFolder dir;
  const std::string list = dir.Write("urls.txt", server.Url("/slow") + "\r\n");
  const std::string state = dir.Path() + "state/";
  ::mkdir(state.c_str(), 0755);
  auto args = [&](const std::string& out, std::vector<std::string> more) {
    std::vector<std::string> all = {"harvest", list, "--phones", "--interval-ms", "200",
                                    "--no-online-check", "--state", state,
                                    "--phones-out", dir.PathOf(out)};
    all.insert(all.end(), more.begin(), more.end());
    return all;
  };
  ChildProcess first(TOLVARINE_EXE, args("first.txt", {}));
  ASSERT_TRUE(first.WaitForErrorLine("page 1/1"));

  const std::string kept = "13800000000\r\n";
  dir.Write("second.txt", kept);
  dir.Write("log.csv", kept);
  for (const std::vector<std::string>& more :
       {std::vector<std::string>{"--page-log", dir.PathOf("log.csv")},
        std::vector<std::string>{"--jobs", "2", "--page-log", dir.PathOf("log.csv")}}) {
    const ProcessResult second = RunProcess(TOLVARINE_EXE, args("second.txt", more));
    EXPECT_EQ(second.status, 1) << second.err;
    EXPECT_NE(second.err.find("the state folder " + state + " is in use by another walk (process " +
                              std::to_string(first.Pid()) + ")"),
              std::string::npos)
        << second.err;
    EXPECT_EQ(dir.Read("second.txt"), kept);
    EXPECT_EQ(dir.Read("log.csv"), kept);
  }
  EXPECT_EQ(server.RequestCount("/slow"), 1);
}

}  // namespace
}  // namespace tolvarine::testing
