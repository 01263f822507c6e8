#include "engine/walk_figures.h"

#include <algorithm>

namespace tolvarine {
namespace {

// Few enough that each bin's label fits under its bar whole.
constexpr int kTimeBins = 10;

std::int64_t Median(std::vector<std::int64_t>& values) {
  if (values.empty()) return 0;
  const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  return *middle;
}

// The spans joined (shards' pages overlap), with gaps up to the pause counted.
std::int64_t WalkingMs(std::vector<std::pair<std::int64_t, std::int64_t>>& spans) {
  std::sort(spans.begin(), spans.end());
  std::int64_t total = 0;
  bool open = false;
  std::int64_t from = 0, to = 0;
  for (const auto& [start, end] : spans) {
    if (open && start <= to + WalkFigures::kPauseMs) {
      to = std::max(to, end);
      continue;
    }
    if (open) total += to - from;
    from = start;
    to = end;
    open = true;
  }
  return open ? total + (to - from) : total;
}

bool Loaded(const PageRecord& r) {
  return r.outcome == PageOutcome::Harvested || r.outcome == PageOutcome::HarvestedEarly ||
         r.outcome == PageOutcome::LeftSite;
}

}  // namespace

double WalkFigures::PagesPerMinute() const {
  const int walked = pages - outcomes[static_cast<std::size_t>(PageOutcome::Limit)];
  return walkingMs > 0 ? walked * 60000.0 / static_cast<double>(walkingMs) : 0.0;
}

void WalkFiguresBuilder::Add(const PageRecord& r) {
  if (!started_ || r.startMs < f_.firstStartMs) f_.firstStartMs = r.startMs;
  started_ = true;
  f_.lastEndMs = std::max(f_.lastEndMs, r.endMs);
  ++f_.pages;
  ++f_.outcomes[static_cast<std::size_t>(r.outcome)];
  f_.phonesNew += r.phonesNew;
  f_.phonesAll += r.phonesAll;
  f_.linksNew += r.linksNew;
  f_.linksAll += r.linksAll;
  ++f_.pagesByDepth[r.depth];
  spans_.emplace_back(r.startMs, std::max(r.startMs, r.endMs));
  if (r.places) {
    f_.places = true;
    for (const auto& [name, n] : r.provinces) f_.provinces[name] += n;
    for (const auto& [name, n] : r.carriers) f_.carriers[name] += n;
  }
  Site& site = sites_[r.site];
  site.figures.site = r.site;
  ++site.figures.pages;
  ++site.figures.outcomes[static_cast<std::size_t>(r.outcome)];
  site.figures.phones += r.phonesNew;
  site.figures.links += r.linksNew;
  if (r.status > 0) {
    ++site.figures.statuses[r.status];
    ++f_.statuses[r.status];
  } else if (!r.error.empty()) {
    ++site.figures.errors[r.error];
    ++f_.errors[r.error];
  }
  auto& minute = minutes_[std::max(r.endMs, r.startMs) / 60000];
  minute.first += r.phonesNew;
  ++minute.second;
  if (Loaded(r) && r.endMs >= r.startMs) {
    site.times.push_back(r.endMs - r.startMs);
    times_.push_back(r.endMs - r.startMs);
  }
  if (r.outcome != PageOutcome::Harvested && r.outcome != PageOutcome::NotAnAddress) {
    ++f_.notableCount;
    if (f_.notable.size() < static_cast<std::size_t>(WalkFigures::kNotableShown))
      f_.notable.push_back({r.final.empty() ? r.listed : r.final, r.site, r.outcome});
  }
}

WalkFigures WalkFiguresBuilder::Finish() {
  // Minutes count from the earliest start, known only at the end (shards' logs interleave).
  const std::int64_t firstMinute = f_.firstStartMs / 60000;
  f_.walkingMs = WalkingMs(spans_);
  for (const auto& [minute, counts] : minutes_) {
    const auto index = static_cast<std::size_t>(std::max<std::int64_t>(minute - firstMinute, 0));
    if (f_.phonesPerMinute.size() <= index) {
      f_.phonesPerMinute.resize(index + 1, 0);
      f_.pagesPerMinute.resize(index + 1, 0);
    }
    f_.phonesPerMinute[index] += counts.first;
    f_.pagesPerMinute[index] += counts.second;
  }
  for (auto& [name, site] : sites_) {
    site.figures.medianMs = Median(site.times);
    f_.sites.push_back(std::move(site.figures));
  }
  std::sort(f_.sites.begin(), f_.sites.end(), [](const SiteFigures& a, const SiteFigures& b) {
    return a.phones != b.phones ? a.phones > b.phones : a.site < b.site;
  });
  std::int64_t longest = 0;
  for (std::int64_t t : times_) longest = std::max(longest, t);
  f_.binMs = std::max<std::int64_t>(100, (longest / kTimeBins + 99) / 100 * 100);
  f_.timeBins.assign(kTimeBins, 0);
  for (std::int64_t t : times_)
    ++f_.timeBins[static_cast<std::size_t>(std::min<std::int64_t>(t / f_.binMs, kTimeBins - 1))];
  return std::move(f_);
}

}  // namespace tolvarine
