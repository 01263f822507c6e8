#pragma once
// The options added beyond the classic six ("https" links, numbers as people write them, a
// walk report saved with the lists, following links with its depth, scope and page limit
// and ignoring robots.txt, where numbers belong, valid numbers only) live in a small file
// of their own, "tolvarine-extra.ini", beside the progress file, so the progress file keeps
// the ten lines older copies of the program read. One "name=value" line per option, CR
// LF: "name=0|1" for a switch, "depth=N" (at most 99), "scope=site|host", "max-pages=N"
// and "retries=N"; the reveal steps "scroll=N" (0..100), "click-more=0|1" and
// "click-text=a,b" (GBK texts joined by ","; none: the default texts), and
// "structured=0|1", written only when on. A missing file or line, or a value that is none
// of these, gives the default (off, depth 1, site, 1000 pages, 2 retries, no scrolling);
// lines this copy does not know are kept when it writes the file.
#include <string>
#include <vector>

#include "engine/crawl_scope.h"

namespace tolvarine {

inline constexpr int kDefaultMaxPagesPerLine = 1000;
inline constexpr int kDefaultRetries = 2;
inline constexpr int kMaxRetries = 10;
inline constexpr int kMaxScrolls = 100;

struct ExtraOptions {
  bool https = false;      // also "https://" links
  bool formatted = false;  // numbers as people write them
  bool report = false;     // the window logs its walk's pages and saves a report
  // Links found are followed within each line's site to `depth` ("depth=N", at least 1),
  // obeying robots.txt unless told to ignore it.
  bool follow = false;
  int depth = 1;
  bool ignoreRobots = false;
  // Within each line's site or host ("scope=site|host"), at most this many pages a line
  // ("max-pages=N", at least 1).
  ScopeKind scope = ScopeKind::Site;
  int maxPagesPerLine = kDefaultMaxPagesPerLine;
  bool places = false;     // each number's province, city and carrier shown and saved
  bool validOnly = false;  // numbers that are no valid Chinese mobile number are left out
  // A page answered "try later" (429, 500, 502, 503, 504) or not at all is tried again this
  // many times ("retries=N", 0..10) before it is given up.
  int retries = kDefaultRetries;
  // With links followed, each start site's sitemaps seed its line ("sitemaps=0|1").
  bool sitemaps = false;
  // Requests of these kinds are never sent ("block-images", "block-fonts", "block-media").
  bool blockImages = false;
  bool blockFonts = false;
  bool blockMedia = false;
  // Reveal steps after each load: scroll to the bottom up to this many times ("scroll=N",
  // 0: off, at most kMaxScrolls); click "more" controls ("click-more=0|1") whose own text is
  // one of clickTexts ("click-text=a,b", GBK; empty: the default texts).
  int scroll = 0;
  bool clickMore = false;
  std::vector<std::string> clickTexts;
  // Numbers stated for machines (the head, structured data, tel: links) are harvested too,
  // and rows with sources say how each number was found ("structured=0|1").
  bool structured = false;
  // Lines of the file this copy does not know, kept as they were.
  std::vector<std::string> unknownLines;
  bool operator==(const ExtraOptions&) const = default;
};

inline constexpr char kExtraOptionsFileName[] = "tolvarine-extra.ini";
// The deepest a walk follows links.
inline constexpr int kMaxFollowDepth = 99;

// Reads the file in `folder` (a file-system path ending in "/"). A missing file gives all
// off; a file that cannot be read throws InOutError.
ExtraOptions ReadExtraOptions(const std::string& folder);
// Replaces the file atomically; throws InOutError and leaves the old file whole on failure.
void WriteExtraOptions(const std::string& folder, const ExtraOptions& options);

}  // namespace tolvarine
