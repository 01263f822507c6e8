#pragma once
// The crawl frontier's store, an SQLite file in the state folder: the queue of addresses to
// load (breadth-first, in the order they were queued), the key (AddressKey) of every address
// ever queued in this crawl or loaded there after a redirect, how many each list line has
// queued, and a few values of the crawl's own (its list, its running line, robots.txt
// answers). The first change opens a transaction that Commit
// makes durable: the walk commits once per page, so a page's removal from the queue and the
// links it queued land together, and a crash loses at most the page in flight. Reads made
// with no change pending run on their own, so no transaction stays open between changes.
// A failure throws CrawlStateError and gives up the changes since the last Commit. A file
// written before addresses had keys has its seen addresses keyed when it is opened.
// WAL journal and a bounded page cache: memory stays small however large the frontier.
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace tolvarine {

struct FrontierEntry {
  std::string address;
  int depth = 0;
  int line = 0;        // the list line the crawl descends from
  std::string source;  // the page it was found on (empty for a list line)
};

class CrawlFrontierStore {
 public:
  // Opens or creates the file; a file that is no crawl state, or cannot be opened, throws
  // CrawlStateError naming it. A change waits up to busyTimeoutMs for another connection's
  // lock before it fails.
  explicit CrawlFrontierStore(const std::string& path, int busyTimeoutMs = 5000);
  ~CrawlFrontierStore();
  CrawlFrontierStore(const CrawlFrontierStore&) = delete;
  CrawlFrontierStore& operator=(const CrawlFrontierStore&) = delete;

  // Empties the store: a crawl from the top.
  void Reset();
  // Queues the entry unless an address of its key (AddressKey) was ever seen in this crawl
  // or its line already has maxPerLine addresses (0: no limit).
  // An address never seen that the limit turns away is kept as cut from its line.
  bool Enqueue(const FrontierEntry& entry, int maxPerLine);
  // Whether an address of the address's key was ever seen in this crawl.
  bool Seen(const std::string& address);
  // Counts the address as seen without queueing it (where a page ended after a redirect).
  void MarkSeen(const std::string& address);
  // The first queued entry, left in the queue; none when the queue is empty.
  std::optional<FrontierEntry> Front();
  // Takes the first entry out of the queue: it is done.
  void PopFront();
  // Queues the entry again at the queue's end, whether or not it was queued before (a page
  // to be tried again later).
  void Requeue(const FrontierEntry& entry);
  bool Empty();
  // Addresses queued in this crawl, done ones included.
  long long SeenCount();
  // Addresses waiting in the queue.
  long long QueuedCount();
  // Addresses line `line` found but could not queue for its limit, each counted once.
  long long CutCount(int line);
  void SetValue(const std::string& key, const std::string& value);
  std::optional<std::string> Value(const std::string& key);
  // Makes every change since the last Commit durable at once.
  void Commit();

 private:
  class Statement;
  void Begin();
  void KeySeenAddresses();
  // Runs sql; a failure is reported as a failure to `what`.
  void Exec(const char* sql, const char* what);
  [[noreturn]] void Fail(const std::string& what);
  [[noreturn]] void Fail(const std::string& what, const std::string& message);
  // The statement, within the transaction of the changes (begun if none is open).
  Statement& Writing(int which);

  std::string path_;
  sqlite3* db_ = nullptr;
  bool inTransaction_ = false;
  long long queued_ = -1;  // the queue's length; below 0 until counted
  std::vector<std::unique_ptr<Statement>> statements_;
};

}  // namespace tolvarine
