#pragma once
// The steps every page's result goes through, in one order for the window, one walk and the
// parent of a --jobs run, so that they keep, count and write the same rows: numbers that are
// no valid mobile number are left out (valid only), then numbers already kept (dedup), then
// the page's record is given its counts of new rows and, with places, of their provinces and
// carriers; then the sinks get the result in the order they were added.
#include <string>
#include <unordered_set>
#include <vector>

#include "engine/number_info.h"
#include "engine/page_result.h"

namespace tolvarine {

struct RowRules {
  bool dropInvalid = false;  // needs the number data
  bool dedup = false;        // a number is kept once a walk
  bool countPlaces = false;  // needs the number data
};

class PagePipeline {
 public:
  // numbers: where numbers belong (none: neither invalid numbers nor places are known).
  explicit PagePipeline(const NumberInfo* numbers = nullptr) : numbers_(numbers) {}

  void SetNumbers(const NumberInfo* numbers) { numbers_ = numbers; }
  const NumberInfo* Numbers() const { return numbers_; }
  // Sinks are told in the order added; a sink is not owned.
  void AddSink(PageResultSink* sink) { sinks_.push_back(sink); }
  // A new walk: no number kept or dropped yet.
  void Begin();
  // A row an earlier walk wrote to the output this one adds to: with dedup it is not kept
  // again (a number nowhere, a link on no page).
  // They stay held through Begin.
  void HeldNumber(const std::string& number) { heldNumbers_.insert(number); }
  void HeldLink(const std::string& link) { heldLinks_.insert(link); }
  // Settles the page's rows by the rules, fills its record's counts, and hands it on.
  void Run(PageResult& page, const RowRules& rules);
  // Numbers left out as invalid since Begin (each once with dedup).
  int Dropped() const { return dropped_; }

 private:
  bool Keep(const std::string& number, const RowRules& rules);

  const NumberInfo* numbers_;
  std::vector<PageResultSink*> sinks_;
  std::unordered_set<std::string> kept_;
  std::unordered_set<std::string> heldNumbers_;
  std::unordered_set<std::string> heldLinks_;
  std::unordered_set<std::string> droppedNumbers_;
  int dropped_ = 0;
};

}  // namespace tolvarine
