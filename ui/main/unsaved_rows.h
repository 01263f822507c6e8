#pragma once
// Which result rows have not been saved yet: rows appended to a list since its last
// successful save or since it was last emptied. The window asks before it drops such rows.
#include <vector>

#include "engine/result_list.h"

namespace tolvarine {

class UnsavedRows {
 public:
  // Watches the lists (not owned) until destroyed; they must outlive it.
  explicit UnsavedRows(std::vector<ResultList*> lists);
  ~UnsavedRows();
  UnsavedRows(const UnsavedRows&) = delete;
  UnsavedRows& operator=(const UnsavedRows&) = delete;

  // True when some list holds a row appended after its last save or clearing.
  bool Any() const;
  // Every row the lists hold now counts as saved.
  void MarkSaved();

 private:
  // One list and how many of its rows are saved; clearing the list saves nothing more.
  class Mark : public ResultListObserver {
   public:
    explicit Mark(ResultList& list) : list_(list) {}
    bool Unsaved() const { return list_.Count() > saved_; }
    void Saved() { saved_ = list_.Count(); }
    ResultList& List() const { return list_; }
    void OnRowAppended(int /*row*/) override {}
    void OnCleared() override { saved_ = 0; }

   private:
    ResultList& list_;
    int saved_ = 0;
  };

  std::vector<Mark> marks_;
};

}  // namespace tolvarine
