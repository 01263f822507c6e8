// The state folder's lock: one holder at a time, named to whoever is refused, and gone with
// its holder's process, never passed on to the programs the holder starts.
#include "base/platform/state_lock.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "tests/support/temp_folder.h"

extern char** environ;

namespace tolvarine::testing {
namespace {

using platform::StateLock;

// A child process that takes the lock and waits to be killed; its id once it holds the lock
// (-1 when it could not take it).
pid_t HoldInChild(const std::string& path) {
  int ready[2];
  if (::pipe(ready) != 0) return -1;
  const pid_t pid = ::fork();
  if (pid == 0) {
    StateLock lock;
    long holder = 0;
    const char taken = lock.TryLock(path, holder) == 0 ? 'y' : 'n';
    [[maybe_unused]] const ssize_t n = ::write(ready[1], &taken, 1);
    for (;;) ::pause();
  }
  ::close(ready[1]);
  char taken = 'n';
  const ssize_t n = ::read(ready[0], &taken, 1);
  ::close(ready[0]);
  return n == 1 && taken == 'y' ? pid : -1;
}

void KillAndWait(pid_t pid) {
  ::kill(pid, SIGKILL);
  ::waitpid(pid, nullptr, 0);
}

TEST(StateLock, OneHolderAtATimeNamedToTheRefused) {
  TempFolder dir;
  const std::string path = dir.PathOf("tolvarine.lock");
  StateLock first, second;
  long holder = -1;
  ASSERT_EQ(first.TryLock(path, holder), 0);
  EXPECT_TRUE(first.Held());
  EXPECT_EQ(first.TryLock(path, holder), 0);  // taken again by its holder: still held
  EXPECT_EQ(second.TryLock(path, holder), StateLock::kHeld);
  EXPECT_EQ(holder, static_cast<long>(::getpid()));
  EXPECT_FALSE(second.Held());

  first.Release();
  EXPECT_FALSE(first.Held());
  ASSERT_EQ(second.TryLock(path, holder), 0);
  EXPECT_EQ(holder, 0);

  EXPECT_EQ(StateLock().TryLock(dir.PathOf("missing/tolvarine.lock"), holder), ENOENT);
}

TEST(StateLock, GoesWithItsHoldersProcessAndNotToProgramsItStarts) {
  TempFolder dir;
  const std::string path = dir.PathOf("tolvarine.lock");
  const pid_t child = HoldInChild(path);
  ASSERT_GT(child, 0);
  StateLock lock;
  long holder = 0;
  EXPECT_EQ(lock.TryLock(path, holder), StateLock::kHeld);
  EXPECT_EQ(holder, static_cast<long>(child));
  KillAndWait(child);
  ASSERT_EQ(lock.TryLock(path, holder), 0);

  // A program started while the lock is held does not keep it after its release.
  pid_t program = -1;
  char sleepName[] = "sleep", seconds[] = "30";
  char* argv[] = {sleepName, seconds, nullptr};
  ASSERT_EQ(::posix_spawnp(&program, "sleep", nullptr, nullptr, argv, environ), 0);
  lock.Release();
  StateLock next;
  EXPECT_EQ(next.TryLock(path, holder), 0);
  KillAndWait(program);
}

}  // namespace
}  // namespace tolvarine::testing
