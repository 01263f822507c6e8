#include "app/cli/row_writer.h"

#include "app/cli/arg_parser.h"
#include "app/cli/command_io.h"
#include "base/errors.h"
#include "engine/result_records.h"

namespace tolvarine::cli {

RowFormat RowFormatNamed(const std::optional<std::string>& name) {
  if (!name) return RowFormat::Plain;
  if (*name == "csv") return RowFormat::Csv;
  if (*name == "jsonl") return RowFormat::Jsonl;
  throw UsageError("--format takes csv or jsonl");
}

void WriteRowsHeader(std::FILE* out, RowFormat format) {
  if (format == RowFormat::Csv) WriteRow(out, kResultCsvHeader);
}

RowWriter::RowWriter(ResultList& list, std::FILE* out, RowFormat format,
                     std::function<void(const std::string&)> onFailure,
                     std::unordered_set<std::string> written)
    : list_(list),
      out_(out),
      format_(format),
      onFailure_(std::move(onFailure)),
      written_(std::move(written)) {
  list_.AddObserver(this);
}

RowWriter::~RowWriter() { list_.RemoveObserver(this); }

void RowWriter::OnRowAppended(int row) {
  if (failed_ || written_.contains(list_.Row(row))) return;
  try {
    const std::string& value = list_.Row(row);
    switch (format_) {
      case RowFormat::Plain:
        WriteRow(out_, value);
        break;
      case RowFormat::Csv:
        WriteRow(out_, ResultCsvRow(value, list_.SourceOf(row)));
        break;
      case RowFormat::Jsonl:
        WriteRow(out_, ResultJsonRow(value, list_.SourceOf(row)), "\n");
        break;
    }
  } catch (const Error& e) {
    failed_ = true;
    onFailure_(e.what());
  }
}

}  // namespace tolvarine::cli
