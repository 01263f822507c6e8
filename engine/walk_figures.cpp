#include "engine/walk_figures.h"

#include <algorithm>

namespace tolvarine {
namespace {

constexpr int kTimeBins = 20;

std::int64_t Median(std::vector<std::int64_t>& values) {
  if (values.empty()) return 0;
  const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  return *middle;
}

bool Loaded(const PageRecord& r) {
  return r.outcome == PageOutcome::Harvested || r.outcome == PageOutcome::HarvestedEarly ||
         r.outcome == PageOutcome::LeftSite;
}

}  // namespace

double WalkFigures::PagesPerMinute() const {
  const double minutes = static_cast<double>(lastEndMs - firstStartMs) / 60000.0;
  return minutes >= 1.0 ? pages / minutes : 0.0;
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
