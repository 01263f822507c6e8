#include "engine/result_list.h"

#include <algorithm>
#include <functional>
#include <iterator>

namespace tolvarine {
namespace {

std::uint32_t HashOf(std::string_view caption) {
  const std::size_t h = std::hash<std::string_view>{}(caption);
  return static_cast<std::uint32_t>(h ^ (h >> 32));
}

std::uint64_t SlotOf(std::uint32_t hash, std::size_t row) {
  return (static_cast<std::uint64_t>(hash) << 32) | static_cast<std::uint64_t>(row + 1);
}

constexpr const char* kFoundInNames[] = {"", "text", "markup", "tel", "structured"};

}  // namespace

const char* FoundInName(FoundIn foundIn) { return kFoundInNames[static_cast<int>(foundIn)]; }

FoundIn FoundInNamed(std::string_view name) {
  for (int i = 1; i < static_cast<int>(std::size(kFoundInNames)); ++i)
    if (name == kFoundInNames[i]) return static_cast<FoundIn>(i);
  return FoundIn::Unrecorded;
}

std::size_t ResultList::Probe(std::string_view caption, std::uint32_t hash, bool& found) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    const std::uint64_t slot = slots_[i];
    if (slot == 0) {
      found = false;
      return i;
    }
    if (static_cast<std::uint32_t>(slot >> 32) == hash &&
        rows_[static_cast<std::size_t>(slot & 0xFFFFFFFFu) - 1] == caption) {
      found = true;
      return i;
    }
  }
}

void ResultList::GrowIndex() {
  std::vector<std::uint64_t> old;
  old.swap(slots_);
  slots_.assign(std::max<std::size_t>(old.size() * 2, 16), 0);
  const std::size_t mask = slots_.size() - 1;
  for (std::uint64_t slot : old) {
    if (slot == 0) continue;
    std::size_t i = static_cast<std::uint32_t>(slot >> 32) & mask;
    while (slots_[i] != 0) i = (i + 1) & mask;
    slots_[i] = slot;
  }
}

void ResultList::Append(const std::string& caption) {
  // At most 70% of the slots are used, so probes stay short.
  if ((rows_.size() + 1) * 10 > slots_.size() * 7) GrowIndex();
  const std::uint32_t hash = HashOf(caption);
  bool found = false;
  const std::size_t at = Probe(caption, hash, found);
  if (sourceChanged_ || runs_.empty()) {
    runs_.push_back({Count(), current_});
    sourceChanged_ = false;
  }
  rows_.push_back(caption);
  // A repeated caption is found through its first row already.
  if (!found) slots_[at] = SlotOf(hash, rows_.size() - 1);
  const int row = Count() - 1;
  for (ResultListObserver* o : observers_) o->OnRowAppended(row);
}

bool ResultList::Contains(const std::string& caption) const {
  if (rows_.empty()) return false;
  bool found = false;
  Probe(caption, HashOf(caption), found);
  return found;
}

void ResultList::BeginSource(const std::string& page, std::int64_t time, int depth) {
  BeginSource(RowSource{page, time, depth});
}

void ResultList::BeginSource(const RowSource& source) {
  current_ = source;
  sourceChanged_ = true;
}

void ResultList::EndSource() { BeginSource({}, 0); }

const RowSource& ResultList::SourceOf(int row) const {
  // The last run that starts at or before the row.
  const auto after = std::upper_bound(runs_.begin(), runs_.end(), row,
                                      [](int r, const SourceRun& run) { return r < run.firstRow; });
  return std::prev(after)->source;
}

void ResultList::Clear() {
  rows_.clear();
  slots_.clear();
  runs_.clear();
  sourceChanged_ = true;
  for (ResultListObserver* o : observers_) o->OnCleared();
}

void ResultList::AddObserver(ResultListObserver* observer) { observers_.push_back(observer); }

void ResultList::RemoveObserver(ResultListObserver* observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

}  // namespace tolvarine
