#include "engine/result_list.h"

#include <algorithm>

namespace tolvarine {

void ResultList::Append(const std::string& caption) {
  rows_.push_back(caption);
  index_.insert(caption);
  const int row = Count() - 1;
  for (ResultListObserver* o : observers_) o->OnRowAppended(row);
}

bool ResultList::Contains(const std::string& caption) const { return index_.count(caption) != 0; }

void ResultList::Clear() {
  rows_.clear();
  index_.clear();
  for (ResultListObserver* o : observers_) o->OnCleared();
}

void ResultList::AddObserver(ResultListObserver* observer) { observers_.push_back(observer); }

void ResultList::RemoveObserver(ResultListObserver* observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

}  // namespace tolvarine
