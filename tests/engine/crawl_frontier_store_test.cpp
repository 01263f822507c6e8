// The crawl frontier's store: each address once, queue order, the page limit of a line,
// what a crash keeps, and a file that is no crawl state.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include "base/errors.h"
#include "engine/crawl_frontier_store.h"
#include "tests/support/temp_folder.h"

namespace tolvarine {
namespace {

std::vector<std::string> Drain(CrawlFrontierStore& store) {
  std::vector<std::string> order;
  while (auto front = store.Front()) {
    order.push_back(front->address + "@" + std::to_string(front->depth));
    store.PopFront();
  }
  return order;
}

TEST(CrawlFrontierStoreTest, EachAddressOnceInQueueOrderWithinTheLinesLimit) {
  testing::TempFolder folder;
  CrawlFrontierStore store(folder.PathOf("c.db"));
  EXPECT_TRUE(store.Enqueue({"http://a/", 0, 1, ""}, 3));
  EXPECT_TRUE(store.Enqueue({"http://a/x", 1, 1, "http://a/"}, 3));
  EXPECT_FALSE(store.Enqueue({"http://a/", 1, 1, "http://a/x"}, 3));  // queued already
  EXPECT_TRUE(store.Enqueue({"http://a/y", 1, 1, "http://a/"}, 3));
  EXPECT_FALSE(store.Enqueue({"http://a/z", 1, 1, "http://a/"}, 3));  // line 1 is full
  EXPECT_TRUE(store.Enqueue({"http://b/", 0, 2, ""}, 3));            // line 2 is not
  EXPECT_EQ(Drain(store),
            (std::vector<std::string>{"http://a/@0", "http://a/x@1", "http://a/y@1", "http://b/@0"}));
  // Loaded addresses are never queued again in this crawl; Reset starts another.
  EXPECT_FALSE(store.Enqueue({"http://a/x", 2, 3, ""}, 0));
  EXPECT_TRUE(store.Empty());
  EXPECT_EQ(store.SeenCount(), 4);
  store.Reset();
  EXPECT_TRUE(store.Enqueue({"http://a/x", 0, 1, ""}, 0));
}

TEST(CrawlFrontierStoreTest, AKilledProcessLeavesWhatItCommitted) {
  testing::TempFolder folder;
  const std::string path = folder.PathOf("c.db");
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    CrawlFrontierStore store(path);
    store.Enqueue({"http://a/", 0, 1, ""}, 0);
    store.SetValue("line", "1");
    store.Commit();
    store.PopFront();
    store.Enqueue({"http://a/lost", 1, 1, "http://a/"}, 0);
    store.SetValue("line", "2");
    _exit(0);  // as a kill: no commit, no destructor
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  CrawlFrontierStore store(path);
  EXPECT_EQ(store.Value("line"), "1");
  EXPECT_EQ(Drain(store), (std::vector<std::string>{"http://a/@0"}));
  EXPECT_TRUE(store.Enqueue({"http://a/lost", 1, 1, ""}, 0));
}

// Reads need no lock; a change that cannot get one fails and leaves the store usable.
TEST(CrawlFrontierStoreTest, AnotherConnectionsLockFailsAChangeNotARead) {
  testing::TempFolder folder;
  const std::string path = folder.PathOf("c.db");
  CrawlFrontierStore store(path, 0);
  store.Enqueue({"http://a/", 0, 1, ""}, 0);
  store.Commit();
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  EXPECT_EQ(store.Front()->address, "http://a/");
  EXPECT_FALSE(store.Empty());
  EXPECT_THROW(store.Enqueue({"http://a/x", 1, 1, ""}, 0), CrawlStateError);
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_TRUE(store.Enqueue({"http://a/x", 1, 1, ""}, 0));
  store.Commit();
  EXPECT_EQ(Drain(store), (std::vector<std::string>{"http://a/@0", "http://a/x@1"}));
}

// A state written before addresses had keys (version 1, the addresses themselves in
// `seen`) opens, keeps its queue and values, and refuses the other spellings of its pages.
TEST(CrawlFrontierStoreTest, AStateWrittenBeforeKeysContinuesWithKeys) {
  testing::TempFolder folder;
  const std::string path = folder.PathOf("old.db");
  sqlite3* old = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &old), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(old,
                         "CREATE TABLE seen(address TEXT PRIMARY KEY) WITHOUT ROWID;"
                         "CREATE TABLE queue(id INTEGER PRIMARY KEY, address TEXT NOT NULL,"
                         " depth INTEGER NOT NULL, line INTEGER NOT NULL, source TEXT NOT NULL);"
                         "CREATE TABLE line_counts(line INTEGER PRIMARY KEY, n INTEGER NOT NULL);"
                         "CREATE TABLE kv(key TEXT PRIMARY KEY, value TEXT NOT NULL) WITHOUT ROWID;"
                         "INSERT INTO seen VALUES('http://a.cn/p?utm_source=x&b=2&a=1'),"
                         " ('http://a.cn/q');"
                         "INSERT INTO queue(address, depth, line, source)"
                         " VALUES('http://a.cn/q', 1, 1, 'http://a.cn/');"
                         "INSERT INTO kv VALUES('line', '1');"
                         "PRAGMA application_id=1416588406; PRAGMA user_version=1;",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(old);
  {
    CrawlFrontierStore store(path);
    EXPECT_EQ(store.Value("line"), "1");
    EXPECT_TRUE(store.Seen("http://a.cn/p?a=1&b=2"));
    EXPECT_FALSE(store.Enqueue({"http://a.cn/p?b=2&a=1#x", 1, 1, ""}, 0));
    EXPECT_TRUE(store.Enqueue({"http://a.cn/r", 1, 1, ""}, 0));
    store.Commit();
  }
  CrawlFrontierStore again(path);  // opened a second time: already keyed
  EXPECT_EQ(Drain(again), (std::vector<std::string>{"http://a.cn/q@1", "http://a.cn/r@1"}));
  EXPECT_EQ(again.SeenCount(), 3);
}

TEST(CrawlFrontierStoreTest, AFileThatIsNoCrawlStateIsRefusedByName) {
  testing::TempFolder folder;
  const std::string garbage = folder.Write("garbage.db", std::string(4096, 'x'));
  try {
    CrawlFrontierStore store(garbage);
    FAIL() << "opened";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("garbage.db"), std::string::npos) << e.what();
  }
  EXPECT_EQ(folder.Read("garbage.db"), std::string(4096, 'x'));
  EXPECT_THROW(CrawlFrontierStore(folder.PathOf("no-such-folder/c.db")), Error);
}

}  // namespace
}  // namespace tolvarine
