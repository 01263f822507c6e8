#pragma once
// A result list of the main window ("网址链接表" or "手机号码表"): ordered rows of text with
// an index, so "is this row present" is a constant-time lookup. Each row also keeps where
// it was found (see RowSource). Observers (the window's list model, the console writer)
// are told of each append and of clearing.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tolvarine {

// How a number was first found on its page, recorded with structured data on: in the
// text, in the markup (the body's or the head's), in a tel: link, in structured data.
enum class FoundIn { Unrecorded, Text, Markup, Tel, Structured };
// "text", "markup", "tel", "structured"; empty when unrecorded.
const char* FoundInName(FoundIn foundIn);
// The kind of a name FoundInName gives; unrecorded for any other text.
FoundIn FoundInNamed(std::string_view name);

// Where a row was found: the address of the page as the browser reported it, and when, in
// seconds since 1970. A row appended outside a page has an empty page and time 0.
struct RowSource {
  std::string page;
  std::int64_t time = 0;
  int depth = -1;  // the page's depth when links are followed; -1: not recorded
  FoundIn foundIn = FoundIn::Unrecorded;
  bool operator==(const RowSource&) const = default;
};

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
  // Rows appended from now on were found on this page at this time, until EndSource.
  void BeginSource(const std::string& page, std::int64_t time, int depth = -1);
  void BeginSource(const RowSource& source);
  void EndSource();
  const RowSource& SourceOf(int row) const;
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
  // The sources as runs of consecutive rows: a page's rows share one entry, so a long
  // list holds each page's address once, not once per row.
  struct SourceRun {
    int firstRow;
    RowSource source;
  };
  std::vector<SourceRun> runs_;
  RowSource current_;
  bool sourceChanged_ = true;  // the next row starts a new run
  // Open-addressing index over the rows: each slot holds a caption's 32-bit hash (high
  // half) and its row + 1 (low half); 0 is an empty slot. One flat array keeps a lookup in
  // a large list to about two cache misses, and appends allocate nothing per row.
  std::vector<std::uint64_t> slots_;
  std::vector<ResultListObserver*> observers_;
};

}  // namespace tolvarine
