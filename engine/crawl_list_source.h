#pragma once
// The walk's addresses as the URL list file gives them: its lines in order, one at a time.
// A shard reads only its share: line i (counted from 1) belongs to shard (i - 1) mod count.
// The position counts every line read or passed over, the shard's and the others'.
#include <string>

#include "base/line_reader.h"

namespace tolvarine {

class ListSource {
 public:
  ListSource(int shardIndex, int shardCount);

  // The line number of the line read last (0: none yet).
  int Position() const { return position_; }
  // Places the walk after line `position` (from a progress file or a resume line).
  void SetPosition(int position) { position_ = position; }

  // Opens the list again at its first line; the position stays as it is.
  void Open(const std::string& path);
  // Reads past the lines up to the position, read in an earlier walk.
  void SkipToPosition();
  // Closes the list; a failure is thrown.
  void Close();
  // No line is left to read: the list is closed or at its end.
  bool Exhausted();
  // Reads past the lines of other shards, counting them, up to the next line of this one
  // or the end of the list.
  void SkipOtherShards();
  // Reads the next line and counts it.
  std::string Next();

 private:
  LineReader reader_;
  int shardIndex_;
  int shardCount_;
  int position_ = 0;
};

}  // namespace tolvarine
