// Children that write back through descriptors 3 and 4, read as their bytes come.
#include "base/platform/child_processes.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <vector>

#include "base/platform/streams.h"

namespace tolvarine::platform {
namespace {

// Reads both pipes of the child to their ends, in whatever order the bytes come.
std::vector<std::string> ReadBoth(const ChildProcess& child) {
  std::vector<Watched> watched = {{child.output3}, {child.output4}};
  std::vector<std::string> got(2);
  for (int open = 2; open > 0;) {
    EXPECT_EQ(WaitForInput(watched), 0);
    for (std::size_t i = 0; i < watched.size(); ++i) {
      if (!watched[i].ready) continue;
      char buffer[256];
      int error = 0;
      const long n = ReadSome(watched[i].descriptor, buffer, sizeof buffer, error);
      if (n > 0) {
        got[i].append(buffer, static_cast<std::size_t>(n));
      } else {
        CloseDescriptor(watched[i].descriptor);
        watched[i].descriptor = -1;
        --open;
      }
    }
  }
  return got;
}

TEST(ChildProcesses, WriteThroughThreeAndFourAndGiveTheirExitStatus) {
  ChildProcess child;
  ASSERT_EQ(StartChild("/bin/sh",
                       {"sh", "-c", "echo 13800000000 >&3; echo out; echo http://a >&4; "
                                    "echo 15900000000 >&3; exit 3"},
                       child),
            0);
  const std::vector<std::string> got = ReadBoth(child);
  EXPECT_EQ(got[0], "13800000000\n15900000000\n");
  EXPECT_EQ(got[1], "http://a\n");
  EXPECT_EQ(WaitForExit(child.id), 3);

  ChildProcess missing;
  EXPECT_EQ(StartChild("/nonexistent/program", {"x"}, missing), 0);  // fails after the fork
  EXPECT_EQ(ReadBoth(missing), (std::vector<std::string>{"", ""}));
  EXPECT_EQ(WaitForExit(missing.id), 127);
}

TEST(ChildProcesses, AStopSignalGoesOnToTheChildren) {
  ChildProcess child;
  // The child says it is ready, then waits for a signal (ended by it, or after 60 s).
  ASSERT_EQ(StartChild("/bin/sh", {"sh", "-c", "exec 4>&-; echo ready >&3; exec sleep 60"},
                       child),
            0);
  std::vector<Watched> watched = {{child.output3}};
  ASSERT_EQ(WaitForInput(watched), 0);
  PassStopSignalsTo({child.id});
  std::raise(SIGTERM);  // this process goes on; the child ends
  StopPassingSignals();
  EXPECT_EQ(WaitForExit(child.id), 128 + SIGTERM);
  CloseDescriptor(child.output3);
  CloseDescriptor(child.output4);
  std::signal(SIGPIPE, SIG_DFL);
}

}  // namespace
}  // namespace tolvarine::platform
