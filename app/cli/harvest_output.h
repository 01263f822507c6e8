#pragma once
// The two outputs of a harvest, numbers and links: files or standard output, each row in the
// plan's format. One walk writes its rows here as they are found; a --jobs run writes the
// records its shards send. Opened only after the plan's checks have passed.
#include <array>
#include <cstdio>
#include <memory>
#include <string>
#include <unordered_set>

#include "app/cli/harvest_plan.h"
#include "engine/number_info.h"
#include "engine/result_list.h"

namespace tolvarine::cli {

enum class ResultKind { Phone, Link };

class HarvestOutput {
 public:
  explicit HarvestOutput(const HarvestPlan& plan);
  ~HarvestOutput();
  HarvestOutput(const HarvestOutput&) = delete;
  HarvestOutput& operator=(const HarvestOutput&) = delete;

  // Opens the outputs. A new walk empties them and writes each header; a continued one adds
  // to them, first ending a row cut short by a killed process, and with --dedup does not
  // write again what they hold. Throws FileCreateError or StreamWriteError.
  void Open();

  // Writes one row, unless it is dropped as written already. A failed write is reported
  // once and nothing more is written; returns false then.
  bool Write(ResultKind kind, const std::string& value, const RowSource& source);

  int Written(ResultKind kind) const { return written_[Index(kind)]; }
  // Numbers left out by --valid-only.
  int Dropped() const { return dropped_; }
  bool DropsInvalid() const { return plan_.validOnly; }
  // Where numbers belong, with --enrich or --valid-only; none otherwise.
  const NumberInfo* Numbers() const { return numbers_.get(); }
  // The closing totals on standard error: the pages abandoned and harvested early, the rows
  // written and, with --valid-only, the numbers left out.
  void PrintTotals(int abandoned, int early) const;
  bool Failed() const { return failed_; }

 private:
  struct Stream;
  static std::size_t Index(ResultKind kind) { return kind == ResultKind::Phone ? 0 : 1; }
  Stream& StreamOf(ResultKind kind);

  const HarvestPlan& plan_;
  std::unique_ptr<Stream> phones_, links_;
  // The values already in a continued output (--continue --dedup): not written again.
  std::array<std::unordered_set<std::string>, 2> seen_;
  std::array<int, 2> written_{};
  std::unique_ptr<NumberInfo> numbers_;  // with --enrich or --valid-only
  int dropped_ = 0;
  bool failed_ = false;
};

}  // namespace tolvarine::cli
