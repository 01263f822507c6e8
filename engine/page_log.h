#pragma once
// The page log: one record for every list line and every page a walk loads, with its
// address as listed and as it ended after redirects, its site, when its load started and
// ended, how it ended and how many numbers and links it gave. Written as the walk goes, as
// CSV (GBK, CR LF, under a header) or JSONL (UTF-8); a report is built from it.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "engine/number_info.h"
#include "engine/result_records.h"

namespace tolvarine {

enum class PageOutcome {
  Harvested,       // harvested after its load completed
  Abandoned,       // given up by the watchdog
  HarvestedEarly,  // harvested before its load completed
  NotAnAddress,    // the list line is no address
  LeftSite,        // a followed link whose page ended on another site
  Refused,         // refused by the site's robots.txt
  GaveUp,          // answered "try later" (429, 5xx) or a network error on every attempt
  RobotsUnavailable,  // its site's robots.txt never answered: the site is refused
  Duplicate,       // ended at an address already loaded (a redirect): not harvested again
  Limit,           // its line reached the pages-per-line limit; links were left unwalked
};
inline constexpr int kPageOutcomes = 10;

// "harvested", "abandoned", "early", "not-an-address", "left-site", "robots", "gave-up",
// "robots-unavailable", "duplicate", "limit".
const char* PageOutcomeName(PageOutcome outcome);
std::optional<PageOutcome> PageOutcomeNamed(std::string_view name);

struct PageRecord {
  int line = 0;   // the list line it was read from or descends from
  int depth = 0;  // 0 for the list's own line
  std::string listed;
  std::string final;  // as the browser reports it after redirects; empty when none
  std::string site;
  std::int64_t startMs = 0;  // wall time of the load's start and of its end, ms since 1970
  std::int64_t endMs = 0;
  PageOutcome outcome = PageOutcome::Harvested;
  int phonesNew = 0;  // rows added to the list
  int phonesAll = 0;  // numbers found, repeats included
  int linksNew = 0;
  int linksAll = 0;
  // With the numbers' places on: the page's new numbers by province and by carrier.
  bool places = false;
  std::map<std::string, int> provinces;  // GBK name -> numbers
  std::map<std::string, int> carriers;
  // How the server answered its load: the HTTP status after redirects (0 when none came or
  // the page was not loaded) and, with no answer, the network error's name.
  int status = 0;
  std::string error;
  // With reveal steps on (scrolling or clicking "more"): the steps made on the page and the
  // numbers first found after one of them (each once a page).
  bool reveals = false;
  int scrolls = 0;
  int clicks = 0;
  int phonesRevealed = 0;
  bool operator==(const PageRecord&) const = default;
};

// Where a walk hands each page's record as the page ends.
class PageLogSink {
 public:
  virtual ~PageLogSink() = default;
  virtual void OnPage(const PageRecord& record) = 0;
};

// The header row of a CSV page log.
inline constexpr char kPageLogCsvHeader[] =
    "line,depth,listed,final,site,start_ms,end_ms,outcome,phones_new,phones_all,links_new,"
    "links_all";
// The columns a log with the numbers' places adds at the end: each holds counts by name,
// "name:count" joined by ";" (GBK in CSV, as the names; UTF-8 in JSONL).
inline constexpr char kPageLogPlaceColumns[] = ",provinces,carriers";

// The columns every record ends with: how the server answered.
inline constexpr char kPageLogAnswerColumns[] = ",status,error";

// The columns a log of a walk with reveal steps adds after the answer columns (JSON members
// of the same names).
inline constexpr char kPageLogRevealColumns[] = ",scrolls,clicks,phones_revealed";

// The header row of a CSV page log, with or without the place columns (the answer columns
// always follow, then the reveal columns of a walk that reveals). Logs written before the answer columns lack them and are read too.
std::string PageLogCsvHeader(bool places, bool reveals = false);

// Counts a number's province and carrier: an invalid number counts as "无效号码" in both,
// an unknown province or carrier as "未知".
void CountPlace(const NumberPlace& place, PageRecord& record);

// One record as a line of the format (CSV or JSONL), without its line end.
std::string PageLogLine(RecordFormat format, const PageRecord& record);
// A record from its line; none for the header and for a line that is no record.
std::optional<PageRecord> PageRecordFromLine(RecordFormat format, std::string_view line);

}  // namespace tolvarine
