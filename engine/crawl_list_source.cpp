#include "engine/crawl_list_source.h"

#include <string_view>

#include "engine/crawl_scope.h"
#include "engine/list_address.h"

namespace tolvarine {

ListSource::ListSource(int shardIndex, int shardCount)
    : shardIndex_(shardIndex), shardCount_(shardCount) {}

void ListSource::Open(const std::string& path) {
  reader_.Close();
  reader_.Open(path);
  utf8_ = IsUtf8TextFile(path);
  atStart_ = true;
}

std::string ListSource::ReadRaw() {
  atStart_ = false;
  return reader_.ReadLine();
}

void ListSource::SkipToPosition() {
  if (position_ <= 0) return;
  int skipped = 0;
  do {
    ReadRaw();
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
    ReadRaw();
    ++position_;
  }
}

std::string ListSource::NextLine() {
  const bool first = atStart_;
  std::string line = ReadRaw();
  ++position_;
  if (!utf8_) return line;
  std::string_view text = line;
  if (first && text.starts_with(kUtf8ByteOrderMark))
    text.remove_prefix(std::string_view(kUtf8ByteOrderMark).size());
  return ListLineFromUtf8(text);
}

SourcedAddress ListSource::Next() { return SourcedAddress{NextLine(), 0}; }

}  // namespace tolvarine
