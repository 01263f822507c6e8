// tolvarine harvest never shows its page: a page that adds its content by timers is
// harvested whole all the same, in one walk and in every job of --jobs.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>

#include "tests/app/child_process.h"
#include "tests/support/local_http_server.h"
#include "tests/support/page_text.h"
#include "tests/support/temp_folder.h"

namespace tolvarine::testing {
namespace {

TEST(HarvestTimers, AHiddenPageRunsItsTimersAtFullSpeedInEveryJob) {
  LocalHttpServer server;
  server.Page("/a", TimedRowsPage('8'));
  server.Page("/b", TimedRowsPage('9'));
  TempFolder dir;
  const std::string list =
      dir.Write("urls.txt", server.Url("/a") + "\r\n" + server.Url("/b") + "\r\n");
  const std::string state = dir.Path() + "state/";
  ::mkdir(state.c_str(), 0755);
  std::vector<std::string> expected;
  for (char tag : {'8', '9'})
    for (int i = 1; i <= 8; ++i) expected.push_back(std::string("13") + tag + "1234567" + std::to_string(i));

  for (const std::vector<std::string>& jobs :
       {std::vector<std::string>{}, std::vector<std::string>{"--jobs", "2"}}) {
    // Each page is harvested at its first tick, a fixed 3 s after its load began.
    std::vector<std::string> args = {"harvest", list, "--phones", "--interval-ms", "3000",
                                     "--no-online-check", "--state", state,
                                     "--phones-out", dir.PathOf("phones.txt")};
    args.insert(args.end(), jobs.begin(), jobs.end());
    ProcessResult r = RunProcess(TOLVARINE_EXE, args);
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> rows = Rows(dir.Read("phones.txt"));
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());  // text and markup
    EXPECT_EQ(rows, expected) << jobs.size();
  }
}

}  // namespace
}  // namespace tolvarine::testing
