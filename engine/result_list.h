#pragma once
// A result list of the main window ("网址链接表" or "手机号码表"): ordered rows of text with
// an index, so "is this row present" is a constant-time lookup. Observers (the window's
// list model, the console writer) are told of each append and of clearing.
#include <string>
#include <unordered_set>
#include <vector>

namespace tolvarine {

class ResultListObserver {
 public:
  virtual ~ResultListObserver() = default;
  virtual void OnRowAppended(int row) = 0;  // row is the new row's index
  virtual void OnCleared() = 0;
};

class ResultList {
 public:
  void Append(const std::string& caption);
  // True when a row has exactly this caption (byte comparison).
  bool Contains(const std::string& caption) const;
  void Clear();
  int Count() const { return static_cast<int>(rows_.size()); }
  const std::string& Row(int index) const { return rows_[static_cast<size_t>(index)]; }
  const std::vector<std::string>& Rows() const { return rows_; }

  void AddObserver(ResultListObserver* observer);
  void RemoveObserver(ResultListObserver* observer);

 private:
  std::vector<std::string> rows_;
  std::unordered_set<std::string> index_;
  std::vector<ResultListObserver*> observers_;
};

}  // namespace tolvarine
