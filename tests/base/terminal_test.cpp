// The terminal questions of the platform layer, asked of a pseudo terminal.
#include "base/platform/streams.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace tolvarine::platform {
namespace {

struct StreamCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using Stream = std::unique_ptr<std::FILE, StreamCloser>;

TEST(Terminal, WidthAndSamenessOfTheTerminalAStreamShowsOn) {
  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(::grantpt(master), 0);
  ASSERT_EQ(::unlockpt(master), 0);
  const char* name = ::ptsname(master);
  ASSERT_NE(name, nullptr);
  struct winsize size {};
  size.ws_col = 40;
  size.ws_row = 12;
  ASSERT_EQ(::ioctl(master, TIOCSWINSZ, &size), 0);

  Stream out(std::fopen(name, "w")), err(std::fopen(name, "w"));
  ASSERT_TRUE(out && err);
  EXPECT_TRUE(IsTerminal(err.get()));
  EXPECT_EQ(TerminalColumns(err.get()), 40);
  EXPECT_TRUE(SameTerminal(out.get(), err.get()));

  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  Stream pipe(::fdopen(fds[1], "w"));
  EXPECT_FALSE(IsTerminal(pipe.get()));
  EXPECT_EQ(TerminalColumns(pipe.get()), 0);
  EXPECT_FALSE(SameTerminal(pipe.get(), err.get()));
  ::close(fds[0]);
  ::close(master);
}

}  // namespace
}  // namespace tolvarine::platform
