#pragma once
// The two outputs of a harvest, numbers and links: files or standard output, each row in the
// plan's format. One walk writes its rows here as they are found; a --jobs run writes the
// records its shards send. Opened only after the plan's checks have passed.
#include <array>
#include <cstdio>
#include <memory>
#include <string>

#include "app/cli/harvest_plan.h"
#include "engine/number_info.h"
#include "engine/page_pipeline.h"
#include "engine/result_list.h"

namespace tolvarine::cli {

enum class ResultKind { Phone, Link };

// How the page's number `i` was found (unrecorded without structured data), and its source
// with that way of finding.
FoundIn NumberFoundIn(const PageResult& page, std::size_t i);
RowSource NumberSource(const PageResult& page, std::size_t i);

class HarvestOutput {
 public:
  explicit HarvestOutput(const HarvestPlan& plan);
  ~HarvestOutput();
  HarvestOutput(const HarvestOutput&) = delete;
  HarvestOutput& operator=(const HarvestOutput&) = delete;

  // Opens the outputs. A new walk empties them and writes each header; a continued one adds
  // to them, first ending a row cut short by a killed process, and with --dedup tells the
  // pipeline what they hold, so that it is not written again. Throws FileCreateError or
  // StreamWriteError.
  void Open(PagePipeline* pipeline = nullptr);

  // Writes the page's rows, links first. A failed write is reported once and nothing more
  // is written; returns false then.
  bool WriteRows(const PageResult& page);

  int Written(ResultKind kind) const { return written_[Index(kind)]; }
  bool DropsInvalid() const { return plan_.validOnly; }
  // Where numbers belong, with --enrich or --valid-only; none otherwise.
  const NumberInfo* Numbers() const { return numbers_.get(); }
  // The closing totals on standard error: the pages abandoned and harvested early, the rows
  // written and, with --valid-only, the numbers left out.
  void PrintTotals(int abandoned, int early, int dropped) const;
  bool Failed() const { return failed_; }

 private:
  struct Stream;
  // Writes a row found where the stream's row maker was last told.
  bool WriteValue(ResultKind kind, const std::string& value);
  static std::size_t Index(ResultKind kind) { return kind == ResultKind::Phone ? 0 : 1; }
  Stream& StreamOf(ResultKind kind);

  const HarvestPlan& plan_;
  std::unique_ptr<Stream> phones_, links_;
  std::array<int, 2> written_{};
  std::unique_ptr<NumberInfo> numbers_;  // with --enrich or --valid-only
  bool failed_ = false;
};

}  // namespace tolvarine::cli
