#include "engine/crawl_list_source.h"

#include "engine/crawl_scope.h"

namespace tolvarine {

ListSource::ListSource(int shardIndex, int shardCount)
    : shardIndex_(shardIndex), shardCount_(shardCount) {}

void ListSource::Open(const std::string& path) {
  reader_.Close();
  reader_.Open(path);
}

void ListSource::SkipToPosition() {
  if (position_ <= 0) return;
  int skipped = 0;
  do {
    reader_.ReadLine();
    ++skipped;
  } while (skipped < position_ && !reader_.AtEnd());
}

void ListSource::Close() { reader_.Close(); }

bool ListSource::Exhausted() { return !reader_.IsOpen() || reader_.AtEnd(); }

void ListSource::SkipOtherShards() {
  if (shardCount_ <= 1) return;
  // Lines are not read for their addresses here: without links followed they go in turn.
  while (!Exhausted() &&
         ShardOfListLine({}, position_ + 1, shardCount_, nullptr, ScopeKind::Site) != shardIndex_) {
    reader_.ReadLine();
    ++position_;
  }
}

std::string ListSource::NextLine() {
  std::string line = reader_.ReadLine();
  ++position_;
  return line;
}

SourcedAddress ListSource::Next() { return SourcedAddress{NextLine(), 0}; }

}  // namespace tolvarine
