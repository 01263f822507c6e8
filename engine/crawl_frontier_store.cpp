#include "engine/crawl_frontier_store.h"

#include <sqlite3.h>

#include "base/errors.h"
#include "base/file_names.h"
#include "engine/url_key.h"

namespace tolvarine {

namespace {

// The file's kind and version, in SQLite's application_id and user_version.
constexpr int kApplicationId = 0x546f6c76;  // "Tolv"
// Version 1 kept the addresses themselves in `seen`; version 2 keeps their keys.
constexpr int kKeylessVersion = 1;
constexpr int kSchemaVersion = 2;

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS seen(address TEXT PRIMARY KEY) WITHOUT ROWID;"
    "CREATE TABLE IF NOT EXISTS queue(id INTEGER PRIMARY KEY, address TEXT NOT NULL,"
    " depth INTEGER NOT NULL, line INTEGER NOT NULL, source TEXT NOT NULL);"
    "CREATE TABLE IF NOT EXISTS line_counts(line INTEGER PRIMARY KEY, n INTEGER NOT NULL);"
    "CREATE TABLE IF NOT EXISTS kv(key TEXT PRIMARY KEY, value TEXT NOT NULL) WITHOUT ROWID;"
    // Addresses a line found but could not queue for its limit, each once a line.
    "CREATE TABLE IF NOT EXISTS cut(line INTEGER NOT NULL, address TEXT NOT NULL,"
    " PRIMARY KEY(line, address)) WITHOUT ROWID;";

enum StatementId {
  kSeenInsert,
  kQueueInsert,
  kLineCount,
  kLineCountAdd,
  kFront,
  kPop,
  kSeen,
  kSetValue,
  kGetValue,
  kAny,
  kSeenOne,
  kQueued,
  kCutInsert,
  kCutCount,
  kStatementCount
};

constexpr const char* kSql[kStatementCount] = {
    "INSERT OR IGNORE INTO seen(address) VALUES(?1)",
    "INSERT INTO queue(address, depth, line, source) VALUES(?1, ?2, ?3, ?4)",
    "SELECT n FROM line_counts WHERE line = ?1",
    "INSERT INTO line_counts(line, n) VALUES(?1, 1) ON CONFLICT(line) DO UPDATE SET n = n + 1",
    "SELECT address, depth, line, source FROM queue ORDER BY id LIMIT 1",
    "DELETE FROM queue WHERE id = (SELECT min(id) FROM queue)",
    "SELECT count(*) FROM seen",
    "INSERT INTO kv(key, value) VALUES(?1, ?2) ON CONFLICT(key) DO UPDATE SET value = ?2",
    "SELECT value FROM kv WHERE key = ?1",
    "SELECT 1 FROM queue LIMIT 1",
    "SELECT 1 FROM seen WHERE address = ?1",
    "SELECT count(*) FROM queue",
    "INSERT OR IGNORE INTO cut(line, address) VALUES(?1, ?2)",
    "SELECT count(*) FROM cut WHERE line = ?1",
};

// address_key(address) in SQL: the AddressKey of a text.
void AddressKeyFunction(sqlite3_context* context, int /*argc*/, sqlite3_value** argv) {
  const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
  const auto size = static_cast<std::size_t>(sqlite3_value_bytes(argv[0]));
  const std::string key = AddressKey(text ? std::string_view(text, size) : std::string_view());
  sqlite3_result_text(context, key.data(), static_cast<int>(key.size()), SQLITE_TRANSIENT);
}

// Replaces the seen addresses of a version 1 file with their keys.
constexpr const char* kKeySeen =
    "CREATE TABLE seen_keys(address TEXT PRIMARY KEY) WITHOUT ROWID;"
    "INSERT OR IGNORE INTO seen_keys(address) SELECT address_key(address) FROM seen;"
    "DROP TABLE seen;"
    "ALTER TABLE seen_keys RENAME TO seen;";

}  // namespace

// A prepared statement, reset after every use.
class CrawlFrontierStore::Statement {
 public:
  Statement(CrawlFrontierStore& store, const char* sql) : store_(store) {
    if (sqlite3_prepare_v3(store.db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr) !=
        SQLITE_OK)
      store.Fail("prepare");
  }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement& Text(int i, const std::string& text) {
    sqlite3_bind_text(stmt_, i, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
    return *this;
  }
  Statement& Int(int i, long long value) {
    sqlite3_bind_int64(stmt_, i, value);
    return *this;
  }
  // Steps once: true with a row to read.
  bool Step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) {
      const char* what = sqlite3_stmt_readonly(stmt_) ? "read" : "write";
      sqlite3_reset(stmt_);
      store_.Fail(what);
    }
    return false;
  }
  long long ColumnInt(int i) { return sqlite3_column_int64(stmt_, i); }
  // For a statement that gives no rows: runs it and resets it.
  void Run() {
    Step();
    Reset();
  }
  // The first column of the first row (0 when there is none); resets the statement.
  long long FirstInt() {
    const long long n = Step() ? ColumnInt(0) : 0;
    Reset();
    return n;
  }
  std::string ColumnText(int i) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
    return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, i)))
                : std::string();
  }
  void Reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
  }

 private:
  CrawlFrontierStore& store_;
  sqlite3_stmt* stmt_ = nullptr;
};

CrawlFrontierStore::CrawlFrontierStore(const std::string& path, int busyTimeoutMs)
    : path_(path) {
  if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
      SQLITE_OK) {
    const std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
    sqlite3_close(db_);
    db_ = nullptr;
    throw CrawlStateError("Cannot open the crawl state " + GbkFileName(path) + ": " + message);
  }
  try {
    sqlite3_busy_timeout(db_, busyTimeoutMs);
    Exec("PRAGMA journal_mode=WAL", "open");
    Exec("PRAGMA synchronous=NORMAL", "open");
    Exec("PRAGMA cache_size=-8192", "open");  // 8 MiB of pages at most
    const long long application = Statement(*this, "PRAGMA application_id").FirstInt();
    const long long schema = Statement(*this, "PRAGMA user_version").FirstInt();
    const long long objects = Statement(*this, "SELECT count(*) FROM sqlite_master").FirstInt();
    if (objects > 0 && (application != kApplicationId ||
                        (schema != kSchemaVersion && schema != kKeylessVersion)))
      throw CrawlStateError("The file " + GbkFileName(path) +
                            " is no crawl state of this program");
    Exec(kSchema, "open");
    if (objects > 0 && schema == kKeylessVersion) KeySeenAddresses();
    Exec(("PRAGMA application_id=" + std::to_string(kApplicationId)).c_str(), "open");
    Exec(("PRAGMA user_version=" + std::to_string(kSchemaVersion)).c_str(), "open");
    for (const char* sql : kSql) statements_.push_back(std::make_unique<Statement>(*this, sql));
  } catch (...) {
    statements_.clear();
    sqlite3_close(db_);
    db_ = nullptr;
    throw;
  }
}

// One transaction: a failure leaves the file as it was, to be keyed at the next opening.
void CrawlFrontierStore::KeySeenAddresses() {
  if (sqlite3_create_function(db_, "address_key", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                              nullptr, AddressKeyFunction, nullptr, nullptr) != SQLITE_OK)
    Fail("open");
  Begin();
  Exec(kKeySeen, "open");
  Exec(("PRAGMA user_version=" + std::to_string(kSchemaVersion)).c_str(), "open");
  Commit();
}

// Without a Commit, the open transaction is rolled back, as a crash would leave it.
CrawlFrontierStore::~CrawlFrontierStore() {
  if (inTransaction_) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  statements_.clear();
  sqlite3_close(db_);
}

void CrawlFrontierStore::Fail(const std::string& what) {
  const std::string message = sqlite3_errmsg(db_);
  Fail(what, message);
}

// The changes since the last Commit are given up with the failure: the store keeps what it
// held after the last Commit.
void CrawlFrontierStore::Fail(const std::string& what, const std::string& message) {
  if (inTransaction_ || !sqlite3_get_autocommit(db_))
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  inTransaction_ = false;
  queued_ = -1;
  throw CrawlStateError("The crawl state " + GbkFileName(path_) + " failed (" + what +
                        "): " + message);
}

void CrawlFrontierStore::Exec(const char* sql, const char* what) {
  char* message = nullptr;
  if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
    const std::string text = message ? message : "unknown error";
    sqlite3_free(message);
    Fail(what, text);
  }
}

CrawlFrontierStore::Statement& CrawlFrontierStore::Writing(int which) {
  Begin();
  return *statements_[which];
}

void CrawlFrontierStore::Begin() {
  if (inTransaction_) return;
  Exec("BEGIN IMMEDIATE", "begin");
  inTransaction_ = true;
}

void CrawlFrontierStore::Commit() {
  if (!inTransaction_) return;
  Exec("COMMIT", "commit");
  inTransaction_ = false;
}

void CrawlFrontierStore::Reset() {
  Begin();
  Exec("DELETE FROM seen; DELETE FROM queue; DELETE FROM line_counts; DELETE FROM kv;"
       " DELETE FROM cut;",
       "write");
  queued_ = 0;
}

bool CrawlFrontierStore::Enqueue(const FrontierEntry& entry, int maxPerLine) {
  if (maxPerLine > 0 && Writing(kLineCount).Int(1, entry.line).FirstInt() >= maxPerLine) {
    // Kept so the line's end can tell how many addresses the limit left out.
    if (statements_[kSeenOne]->Text(1, AddressKey(entry.address)).FirstInt() == 0)
      Writing(kCutInsert).Int(1, entry.line).Text(2, entry.address).Run();
    return false;
  }
  Writing(kSeenInsert).Text(1, AddressKey(entry.address)).Run();
  if (sqlite3_changes(db_) == 0) return false;
  Requeue(entry);
  Writing(kLineCountAdd).Int(1, entry.line).Run();
  return true;
}

std::optional<FrontierEntry> CrawlFrontierStore::Front() {
  Statement& front = *statements_[kFront];
  std::optional<FrontierEntry> entry;
  if (front.Step()) {
    entry = FrontierEntry{front.ColumnText(0), static_cast<int>(front.ColumnInt(1)),
                          static_cast<int>(front.ColumnInt(2)), front.ColumnText(3)};
  }
  front.Reset();
  return entry;
}

void CrawlFrontierStore::PopFront() {
  Writing(kPop).Run();
  if (queued_ > 0 && sqlite3_changes(db_) > 0) --queued_;
}

// Counted once, then kept by Enqueue and PopFront: counting a large queue reads all of it.
long long CrawlFrontierStore::QueuedCount() {
  if (queued_ < 0) queued_ = statements_[kQueued]->FirstInt();
  return queued_;
}

long long CrawlFrontierStore::CutCount(int line) {
  return statements_[kCutCount]->Int(1, line).FirstInt();
}

void CrawlFrontierStore::Requeue(const FrontierEntry& entry) {
  Writing(kQueueInsert)
      .Text(1, entry.address)
      .Int(2, entry.depth)
      .Int(3, entry.line)
      .Text(4, entry.source)
      .Run();
  if (queued_ >= 0) ++queued_;
}

bool CrawlFrontierStore::Seen(const std::string& address) {
  return statements_[kSeenOne]->Text(1, AddressKey(address)).FirstInt() != 0;
}

void CrawlFrontierStore::MarkSeen(const std::string& address) {
  Writing(kSeenInsert).Text(1, AddressKey(address)).Run();
}

bool CrawlFrontierStore::Empty() { return statements_[kAny]->FirstInt() == 0; }

long long CrawlFrontierStore::SeenCount() { return statements_[kSeen]->FirstInt(); }

void CrawlFrontierStore::SetValue(const std::string& key, const std::string& value) {
  Writing(kSetValue).Text(1, key).Text(2, value).Run();
}

std::optional<std::string> CrawlFrontierStore::Value(const std::string& key) {
  Statement& get = statements_[kGetValue]->Text(1, key);
  std::optional<std::string> value;
  if (get.Step()) value = get.ColumnText(0);
  get.Reset();
  return value;
}

}  // namespace tolvarine
