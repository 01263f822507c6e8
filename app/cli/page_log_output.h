#pragma once
// harvest's page log: each page's record written as the page ends, to --page-log, or, when
// only --report is asked for, to a temporary file beside the report that goes once the
// report is written. CSV (GBK, CR LF, under a header) unless --format jsonl.
#include <cstdio>
#include <string>

#include "app/cli/harvest_plan.h"
#include "engine/page_log.h"

namespace tolvarine::cli {

class PageLogOutput : public PageLogSink {
 public:
  explicit PageLogOutput(const HarvestPlan& plan);
  ~PageLogOutput() override;
  PageLogOutput(const PageLogOutput&) = delete;
  PageLogOutput& operator=(const PageLogOutput&) = delete;

  bool Active() const { return !path_.empty(); }
  const std::string& Path() const { return path_; }
  // Opens the log: a new walk empties it and writes the header, a continued one adds to
  // it. Throws FileCreateError.
  void Open();
  // Writes the record; a failed write is reported once, and nothing more is written.
  void OnPage(const PageRecord& record) override;
  bool Failed() const { return failed_; }
  // Closes the file (before the report reads it).
  void Close();

 private:
  RecordFormat format_;
  bool places_;  // --enrich: the records carry the place columns
  bool reveals_;  // --scroll or --click-more: the records carry the reveal columns
  bool continuing_;
  std::string path_;
  bool temporary_ = false;
  std::FILE* file_ = nullptr;
  bool failed_ = false;
};

}  // namespace tolvarine::cli
