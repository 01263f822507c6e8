#include "ui/main/unsaved_rows.h"

#include <algorithm>

namespace tolvarine {

UnsavedRows::UnsavedRows(std::vector<ResultList*> lists) {
  marks_.reserve(lists.size());  // the lists keep pointers to the marks
  for (ResultList* list : lists) marks_.emplace_back(*list);
  for (Mark& mark : marks_) mark.List().AddObserver(&mark);
}

UnsavedRows::~UnsavedRows() {
  for (Mark& mark : marks_) mark.List().RemoveObserver(&mark);
}

bool UnsavedRows::Any() const {
  return std::any_of(marks_.begin(), marks_.end(), [](const Mark& m) { return m.Unsaved(); });
}

void UnsavedRows::MarkSaved() {
  for (Mark& mark : marks_) mark.Saved();
}

}  // namespace tolvarine
