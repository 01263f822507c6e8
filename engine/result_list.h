#pragma once
// A result list of the main window ("网址链接表" or "手机号码表"): ordered rows of text with
// an index, so "is this row present" is a constant-time lookup. Observers (the window's
// list model, the console writer) are told of each append and of clearing.
#include <cstdint>
#include <string>
#include <string_view>
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
  // The slot of the caption in the index: where it is, or the empty slot where it belongs.
  std::size_t Probe(std::string_view caption, std::uint32_t hash, bool& found) const;
  void GrowIndex();

  std::vector<std::string> rows_;
  // Open-addressing index over the rows: each slot holds a caption's 32-bit hash (high
  // half) and its row + 1 (low half); 0 is an empty slot. One flat array keeps a lookup in
  // a large list to about two cache misses, and appends allocate nothing per row.
  std::vector<std::uint64_t> slots_;
  std::vector<ResultListObserver*> observers_;
};

}  // namespace tolvarine
