#pragma once
// The walk's addresses as the URL list file gives them: its lines in order, one at a time.
// A shard reads only its share: line i (counted from 1) belongs to shard (i - 1) mod count.
// The position counts every line read or passed over, the shard's and the others'.
// A UTF-8 list (IsUtf8TextFile) gives its lines in GBK (ListLineFromUtf8), its byte order
// mark dropped; a GBK list gives them as they are.
#include <string>

#include "base/line_reader.h"
#include "engine/address_source.h"

namespace tolvarine {

class ListSource : public AddressScheduler {
 public:
  ListSource(int shardIndex, int shardCount);

  // The line number of the line read last (0: none yet).
  int Position() const override { return position_; }
  // Places the walk after line `position` (from a progress file or a resume line).
  void SetPosition(int position) override { position_ = position; }

  // Opens the list again at its first line; the position stays as it is.
  void Open(const std::string& path) override;
  // Reads past the lines up to the position, read in an earlier walk.
  void SkipToPosition() override;
  // Closes the list; a failure is thrown.
  void Close() override;
  // No line is left to read: the list is closed or at its end.
  bool Exhausted() override;
  // Reads past the lines of other shards, counting them, up to the next line of this one
  // or the end of the list.
  void SkipOtherShards() override;
  // Reads the next line and counts it.
  SourcedAddress Next() override;
  // The line itself, for the frontier that reads its starting points from the list.
  std::string NextLine();

 private:
  LineReader reader_;
  // The list is UTF-8; its first line is still to be read.
  bool utf8_ = false;
  bool atStart_ = false;
  // Reads the next line as the file holds it.
  std::string ReadRaw();
  int shardIndex_;
  int shardCount_;
  int position_ = 0;
};

}  // namespace tolvarine
