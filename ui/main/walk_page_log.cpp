#include "ui/main/walk_page_log.h"

#include "base/errors.h"
#include "base/file_names.h"
#include "base/record_file.h"

namespace tolvarine {

WalkPageLog::WalkPageLog(std::string path, std::function<void(const std::string&)> onFailure)
    : path_(std::move(path)), onFailure_(std::move(onFailure)) {}

WalkPageLog::~WalkPageLog() { Close(); }

void WalkPageLog::Expect(bool continuing, bool places, bool reveals) {
  // The previous walk's records end here, whether or not the next one begins.
  Close();
  pending_ = continuing;
  places_ = places;
  reveals_ = reveals;
}

void WalkPageLog::Begun() {
  if (pending_) Open();
}

void WalkPageLog::Drop() {
  Close();
  pending_.reset();
  holds_ = false;
  failed_ = false;
}

void WalkPageLog::Open() {
  const bool continuing = *pending_;
  pending_.reset();
  holds_ = false;
  failed_ = false;
  try {
    file_ = OpenRecordFile(path_, continuing, PageLogCsvHeader(places_, reveals_) + "\r\n", "\r\n");
  } catch (const Error&) {
    failed_ = true;
    throw FileCreateError(GbkFileName(path_));
  }
  holds_ = true;
}

void WalkPageLog::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
}

void WalkPageLog::OnPage(const PageRecord& record) {
  if (pending_) {
    try {
      Open();
    } catch (const Error& e) {
      if (onFailure_) onFailure_(e.what());
      return;
    }
  }
  if (file_ && !failed_) Write(PageLogLine(RecordFormat::Csv, record));
}

void WalkPageLog::Write(const std::string& line) {
  // Flushed at once: a report may be saved while the walk goes on.
  try {
    WriteRecord(file_, line, "\r\n");
  } catch (const Error& e) {
    Fail(GbkFileName(path_) + ": " + e.what());
  }
}

void WalkPageLog::Fail(const std::string& message) {
  // Reported once; the records after a failed write are not written.
  if (failed_) return;
  failed_ = true;
  if (onFailure_) onFailure_(message);
}

}  // namespace tolvarine
