#include "engine/page_pipeline.h"

#include <algorithm>
#include <utility>

namespace tolvarine {


void PagePipeline::Begin() {
  kept_.clear();
  droppedNumbers_.clear();
  dropped_ = 0;
}

bool PagePipeline::Keep(const std::string& number, const RowRules& rules) {
  if (rules.dropInvalid && numbers_ && !numbers_->Look(number).valid) {
    if (!rules.dedup || droppedNumbers_.insert(number).second) ++dropped_;
    return false;
  }
  // Every number kept is remembered, so dedup turned on during a walk leaves out the
  // numbers kept before it as well.
  const bool seen = !kept_.insert(number).second || heldNumbers_.contains(number);
  return !(rules.dedup && seen);
}

void PagePipeline::Run(PageResult& page, const RowRules& rules) {
  PageRecord& record = page.record;
  // The numbers kept move up in place, each with how it was found when that is recorded.
  std::vector<FoundIn>& kinds = page.phonesFoundIn;
  std::size_t kept = 0;
  for (std::size_t i = 0; i < page.phones.size(); ++i) {
    if (!Keep(page.phones[i], rules)) continue;
    if (i != kept) {
      page.phones[kept] = std::move(page.phones[i]);
      if (i < kinds.size()) kinds[kept] = kinds[i];
    }
    ++kept;
  }
  page.phones.resize(kept);
  if (kinds.size() > kept) kinds.resize(kept);
  if (rules.dedup && !heldLinks_.empty())
    std::erase_if(page.links, [&](const std::string& link) { return heldLinks_.contains(link); });
  record.phonesNew = static_cast<int>(page.phones.size());
  record.linksNew = static_cast<int>(page.links.size());
  record.places = rules.countPlaces && numbers_ != nullptr;
  if (record.places) {
    for (const std::string& number : page.phones) CountPlace(numbers_->Look(number), record);
  }
  for (PageResultSink* sink : sinks_) sink->OnPage(page);
}

}  // namespace tolvarine
