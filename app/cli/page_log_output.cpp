#include "app/cli/page_log_output.h"

#include <filesystem>

#include "app/cli/command_io.h"
#include "base/errors.h"
#include "base/file_names.h"
#include "base/platform/file_system.h"
#include "base/record_file.h"

namespace tolvarine::cli {

PageLogOutput::PageLogOutput(const HarvestPlan& plan)
    : format_(plan.format == RecordFormat::Jsonl ? RecordFormat::Jsonl : RecordFormat::Csv),
      places_(plan.enrich),
      reveals_(plan.scroll > 0 || plan.clickMore),
      continuing_(plan.continuing) {
  if (plan.pageLog) {
    path_ = *plan.pageLog;
  } else if (plan.report) {
    path_ = *plan.report + ".pages-" + std::to_string(platform::ProcessNumber()) + ".tmp";
    temporary_ = true;
    continuing_ = false;
  }
}

PageLogOutput::~PageLogOutput() {
  Close();
  std::error_code error;
  if (temporary_) std::filesystem::remove(path_, error);
}

void PageLogOutput::Open() {
  if (!Active()) return;
  const std::string header =
      format_ == RecordFormat::Csv ? PageLogCsvHeader(places_, reveals_) + "\r\n" : std::string();
  file_ = OpenRecordFile(path_, continuing_, header, RecordLineEnd(format_));
}

void PageLogOutput::OnPage(const PageRecord& record) {
  if (!file_ || failed_) return;
  try {
    WriteRow(file_, PageLogLine(format_, record), RecordLineEnd(format_));
  } catch (const Error& e) {
    failed_ = true;
    PrintFailure(GbkFileName(path_) + ": " + e.what());
  }
}

void PageLogOutput::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

}  // namespace tolvarine::cli
