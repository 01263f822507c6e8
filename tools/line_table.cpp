#include "tools/line_table.h"

#include <algorithm>
#include <limits>
#include <new>

#include "base/line_split.h"

namespace tolvarine {

void LineTable::AddText(std::string_view text) {
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint32_t>::max();
  if (text.size() > kMax) throw std::bad_alloc();
  const std::vector<std::string_view> lines = SplitLineViews(text);
  if (refs_.size() + lines.size() > kMax) throw std::bad_alloc();
  texts_.push_back(text.data());
  firstLine_.push_back(static_cast<std::uint32_t>(refs_.size()));
  if (refs_.empty()) refs_.reserve(lines.size());
  for (const std::string_view line : lines) {
    refs_.push_back(Ref{static_cast<std::uint32_t>(line.data() - text.data()),
                        static_cast<std::uint32_t>(line.size())});
  }
}

const char* LineTable::TextOf(std::uint32_t line) const {
  if (texts_.size() == 1) return texts_.front();
  // The last text whose first line is at or before this one (texts without lines share
  // their first position with the next text, which upper_bound skips past).
  const auto after = std::upper_bound(firstLine_.begin(), firstLine_.end(), line);
  return texts_[static_cast<std::size_t>(after - firstLine_.begin()) - 1];
}

}  // namespace tolvarine
