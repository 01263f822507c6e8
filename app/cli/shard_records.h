#pragma once
// What a shard of a --jobs run tells its parent, one line each through a pipe: its rows as
// records (kind, value, page, time, line, depth and, last and only for a number found with
// structured data on, how it was found), the line its walk has reached, its end, and a sync:
// the shard waits for the parent to answer that everything before it is held. Fields are
// separated by tabs; a tab, a line end or a backslash inside a field is escaped.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "app/cli/harvest_output.h"
#include "engine/page_log.h"

namespace tolvarine::cli {

struct ShardMessage {
  enum class Type { Row, Position, End, Page, Sync };
  Type type = Type::Row;
  ResultKind kind = ResultKind::Phone;  // Row
  std::string value;                    // Row
  RowSource source;                     // Row
  int line = 0;                         // Row: the list line of the page it came from
  int number = 0;                       // Position: the line; End: pages abandoned
  long long pages = 0;                  // Position: pages done in the shard's walk
  long long queued = 0;                 // Position: addresses in the shard's crawl queue
  int other = 0;                        // End: pages harvested before their load completed
  PageRecord page;                      // Page: the page log's record
};

// The parent's answer to a sync, one byte on the shard's second pipe: what the shard sent is
// held, or it could not be written. The pipe's end means the parent is gone.
inline constexpr char kSyncHeld = 'K';
inline constexpr char kSyncRefused = 'R';

std::string EncodeRow(ResultKind kind, const std::string& value, const RowSource& source,
                      int line);
std::string EncodePosition(int line, long long pages = 0, long long queued = 0);
std::string EncodeEnd(int abandoned, int early);
std::string EncodePage(const PageRecord& record);
std::string EncodeSync();

// One message from its line (without the line end); none for a line of no message.
std::optional<ShardMessage> DecodeShardMessage(std::string_view line);

}  // namespace tolvarine::cli
