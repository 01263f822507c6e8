#pragma once
// harvest's outputs: each row of a result list written the moment it is appended, as a
// plain row (GBK, CR LF), a CSV row "value,page,time" (GBK, CR LF) or a JSON object
// {"value","page","time"} on a line of its own (UTF-8, LF).
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <unordered_set>

#include "engine/result_list.h"

namespace tolvarine::cli {

enum class RowFormat { Plain, Csv, Jsonl };

// The format named by --format (absent: plain). Throws UsageError for another name.
RowFormat RowFormatNamed(const std::optional<std::string>& name);

// Writes what comes before the rows of an output: the header row of CSV, nothing else.
// Throws StreamWriteError.
void WriteRowsHeader(std::FILE* out, RowFormat format);

// Writes each appended row to a stream. A row that cannot be written (disk full, closed
// pipe) is a failure of the walk: it is reported once, nothing more is written, and the
// owner is told so that it stops the walk.
class RowWriter : public ResultListObserver {
 public:
  // Rows in `written` are in the output already (a continued walk): not written again.
  RowWriter(ResultList& list, std::FILE* out, RowFormat format,
            std::function<void(const std::string&)> onFailure,
            std::unordered_set<std::string> written = {});
  ~RowWriter() override;
  RowWriter(const RowWriter&) = delete;
  RowWriter& operator=(const RowWriter&) = delete;

  void OnRowAppended(int row) override;
  void OnCleared() override {}

 private:
  ResultList& list_;
  std::FILE* out_;
  RowFormat format_;
  std::function<void(const std::string&)> onFailure_;
  std::unordered_set<std::string> written_;
  bool failed_ = false;
};

}  // namespace tolvarine::cli
