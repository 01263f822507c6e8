#pragma once
// The figures a walk report shows, gathered from the page log one record at a time, so a
// log of any length is read in one pass and never held whole.
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/page_log.h"

namespace tolvarine {

struct SiteFigures {
  std::string site;
  int pages = 0;
  std::array<int, kPageOutcomes> outcomes{};
  int phones = 0;  // new numbers
  int links = 0;   // new links
  std::int64_t medianMs = 0;  // time per page, pages with a load end
  // How its pages were answered: pages by HTTP status, and with no answer by network error.
  std::map<int, int> statuses;
  std::map<std::string, int> errors;
};

// A page the report lists by name: abandoned, harvested early or refused.
struct NotablePage {
  std::string address;
  std::string site;
  PageOutcome outcome;
};

struct WalkFigures {
  int pages = 0;
  std::array<int, kPageOutcomes> outcomes{};
  int phonesNew = 0, phonesAll = 0, linksNew = 0, linksAll = 0;
  std::int64_t firstStartMs = 0, lastEndMs = 0;
  // Time spent walking: the pages' spans joined, with the gaps between them up to
  // kPauseMs; a longer gap is a pause (Stop, then Continue) and counts nothing.
  std::int64_t walkingMs = 0;
  static constexpr std::int64_t kPauseMs = 60000;
  // Pages by HTTP status and by network error, over all sites.
  std::map<int, int> statuses;
  std::map<std::string, int> errors;
  // Per minute since the first start: new numbers and pages ended in that minute.
  std::vector<int> phonesPerMinute;
  std::vector<int> pagesPerMinute;
  // Time per page: counts of pages in bins of binMs (the last bin takes all longer ones).
  std::int64_t binMs = 1000;
  std::vector<int> timeBins;
  std::vector<SiteFigures> sites;  // most new numbers first, then by name
  std::map<int, int> pagesByDepth;
  // New numbers by province and by carrier (GBK names), when the log has the places.
  bool places = false;
  std::map<std::string, int> provinces;
  std::map<std::string, int> carriers;
  std::vector<NotablePage> notable;  // at most kNotableShown
  int notableCount = 0;
  static constexpr int kNotableShown = 1000;

  // Pages per minute of walking time (records of lines cut by the limit are no pages); 0
  // when no time went by.
  double PagesPerMinute() const;
};

class WalkFiguresBuilder {
 public:
  void Add(const PageRecord& record);
  WalkFigures Finish();

 private:
  struct Site {
    SiteFigures figures;
    std::vector<std::int64_t> times;
  };
  WalkFigures f_;
  std::unordered_map<std::string, Site> sites_;
  std::vector<std::int64_t> times_;
  // Every record's start and end, joined into walking time at the end.
  std::vector<std::pair<std::int64_t, std::int64_t>> spans_;
  // New numbers and pages ended, by minute since 1970.
  std::map<std::int64_t, std::pair<int, int>> minutes_;
  bool started_ = false;
};

}  // namespace tolvarine
