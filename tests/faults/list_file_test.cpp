// The URL list file going away while a walk reads it.
#include <dirent.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "base/number_text.h"
#include "tests/faults/fault_walk.h"

namespace tolvarine {
namespace {

// Each line carries a 16 KB remark, so the reader's 64 KB buffer holds only a few lines and
// must read the file again and again during the walk.
constexpr int kPages = 12;
constexpr std::size_t kRemark = 16 * 1024;

// The descriptor this process has open on path, or -1.
int OpenDescriptorOf(const std::string& path) {
  DIR* dir = ::opendir("/proc/self/fd");
  if (!dir) return -1;
  int found = -1;
  while (const dirent* entry = ::readdir(dir)) {
    char target[4096];
    const std::string link = std::string("/proc/self/fd/") + entry->d_name;
    const ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
    if (n > 0 && std::string(target, static_cast<std::size_t>(n)) == path) {
      found = std::atoi(entry->d_name);
      break;
    }
  }
  ::closedir(dir);
  return found;
}

// Puts a socket at path: a file that exists but cannot be opened.
bool PutSocketAt(const std::string& path) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (fd < 0 || path.size() >= sizeof address.sun_path) return false;
  std::strcpy(address.sun_path, path.c_str());
  const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return bound;
}

using ListFile = FaultWalk;

TEST_F(ListFile, DeletedMidWalkIsStillReadToItsEndAndContinueThenFindsItMissing) {
  UsePages(kPages, kRemark);
  Run(&CrawlController::Start);
  clock.Advance(3 * 8000);
  ASSERT_EQ(crawl->Position(), 4);
  // On Linux an open file outlives its name: the reader goes on with the unlinked file.
  ASSERT_EQ(std::remove(lists.PathOf("list.txt").c_str()), 0);
  RunToEnd();
  for (int i = 1; i <= kPages; ++i) EXPECT_TRUE(Harvested(i)) << "page " << i;
  EXPECT_TRUE(view.messages.empty());
  EXPECT_EQ(view.message, texts::kFinished);
  EXPECT_EQ(ProgressLine(1), IntToStr(kPages));
  ExpectIdle();

  const std::size_t loaded = browser.Navigations().size();
  view.askAnswers.push_back("5");
  Run(&CrawlController::Continue);
  EXPECT_EQ(view.Texts(Kind::Information), Rows{texts::kListMissing});
  EXPECT_TRUE(view.asked.empty());
  ExpectIdle();
  Run(&CrawlController::Start);
  EXPECT_EQ(view.Texts(Kind::Information), (Rows{texts::kListMissing, texts::kNoListFile}));
  EXPECT_EQ(browser.Navigations().size(), loaded);
  ExpectIdle();
}

TEST_F(ListFile, ReplacedByOneThatCannotBeReadEndsTheWalkWithTheReadError) {
  UsePages(kPages, kRemark);
  const std::string path = lists.PathOf("list.txt");
  Run(&CrawlController::Start);
  clock.Advance(8000);
  const int readerFd = OpenDescriptorOf(path);
  ASSERT_GE(readerFd, 0);
  // The name now leads to something that cannot be opened, and the open descriptor to
  // something that cannot be read (write-only): the next refill of the reader's buffer
  // fails with EBADF.
  ASSERT_EQ(std::remove(path.c_str()), 0);
  ASSERT_TRUE(PutSocketAt(path));
  const int writeOnly = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  ASSERT_EQ(::dup2(writeOnly, readerFd), readerFd);
  ::close(writeOnly);

  RunToEnd();
  // Reported once; the walk ends as at the end of its list and keeps the position reached,
  // every page loaded so far harvested.
  EXPECT_EQ(view.Texts(Kind::Error), Rows{"I/O error 9"});
  EXPECT_EQ(view.message, texts::kFinished);
  ExpectIdle();
  const int reached = crawl->Position();
  EXPECT_GT(reached, 1);
  EXPECT_LT(reached, kPages);
  EXPECT_EQ(ProgressLine(1), IntToStr(reached));
  for (int i = 1; i <= reached; ++i) EXPECT_TRUE(Harvested(i)) << "page " << i;
  EXPECT_EQ(browser.Navigations().size(), static_cast<std::size_t>(reached));

  // Continue finds a name that cannot be opened: reported, and back to idle.
  view.messages.clear();
  view.askAnswers.push_back(IntToStr(reached));
  Run(&CrawlController::Continue);
  EXPECT_EQ(view.Texts(Kind::Error), Rows{"I/O error 6"});
  ExpectIdle();
  EXPECT_EQ(browser.Navigations().size(), static_cast<std::size_t>(reached));
}

}  // namespace
}  // namespace tolvarine
