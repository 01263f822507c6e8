// The harvest command's flags: how each is read, shown in the usage and handed to a shard.
#include "app/cli/harvest_flags.h"

#include <string>

namespace tolvarine::cli {
namespace {

using Given = std::optional<std::string>;
using Plan = const HarvestPlan&;

Given On(bool on) { return on ? Given("") : std::nullopt; }
Given Number(const std::optional<int>& n) { return n ? Given(std::to_string(*n)) : std::nullopt; }
// The follow settings go with --depth alone.
Given Followed(const HarvestPlan& p, std::string value) {
  return p.follow.depth > 0 ? Given(std::move(value)) : std::nullopt;
}

constexpr std::string_view kHead =
    "usage: tolvarine harvest LIST [--links] [--phones] [--dedup] [--filter] [--only-site]\n"
    "                         [--speed N | --interval-ms N] [--from N]\n"
    "                         [--phones-out FILE] [--links-out FILE] [--state DIR]\n"
    "                         [--no-online-check] [--https] [--formatted]\n"
    "                         [--prefixes LIST] [--must LIST] [--must-not LIST]\n"
    "                         [--format csv|jsonl] [--shard K/N | --jobs N]\n"
    "                         [--page-log FILE] [--report FILE.html]\n"
    "                         [--enrich] [--valid-only] [--continue] [--verbose]\n"
    "                         [--retries N] [--block images,fonts,media]\n"
    "                         [--scroll N] [--click-more] [--click-text LIST]\n"
    "                         [--structured]\n"
    "                         [--depth N [--scope site|host] [--max-pages N]\n"
    "                          [--ignore-robots] [--sitemaps]]\n"
    "  Walks the URL list LIST through the embedded browser, as the window's Search does.\n";

constexpr std::string_view kTail =
    "  Rows are written as found (GBK, CR LF but for jsonl); progress goes to standard\n"
    "  error, then the totals. SIGINT or SIGTERM stops the walk at its next tick and writes\n"
    "  the progress file; the position is also saved every 60 s, so a killed walk continues\n"
    "  from at most a minute back. A row that cannot be written stops the walk too.\n"
    "  Nothing is written before the list, the outputs and the state folder are checked.\n"
    "  Exit status: 0 the walk finished, 1 a failure, 2 a usage error, 130 stopped by\n"
    "  SIGINT, 143 stopped by SIGTERM.\n";

// Null forShard: the parent alone takes the flag.
const std::vector<HarvestFlag> kFlags = {
    {{"--links", FlagKind::Switch,
      "  --links, --phones   search links, search phones (at least one)\n"},
     [](Plan p, int) -> Given { return On(p.links); }},
    {{"--phones", FlagKind::Switch}, [](Plan p, int) -> Given { return On(p.phones); }},
    {{"--dedup", FlagKind::Switch,
      "  --dedup, --filter, --only-site   the window's options of the same names\n"},
     [](Plan p, int) -> Given { return On(p.dedup); }},
    {{"--filter", FlagKind::Switch}, [](Plan p, int) -> Given { return On(p.filter); }},
    {{"--only-site", FlagKind::Switch}, [](Plan p, int) -> Given { return On(p.onlySite); }},
    {{"--speed", FlagKind::Value,
      "  --speed N           seconds per page, a whole number from 1 to 60 (default 8): the\n"
      "                      least time between two loads; a page slower than that is\n"
      "                      harvested as it completes\n"},
     [](Plan p, int) -> Given { return Number(p.speed); }},
    {{"--interval-ms", FlagKind::Value,
      "  --interval-ms N     the pacing period in milliseconds instead (local walks, tests)\n"},
     [](Plan p, int) -> Given { return Number(p.intervalMs); }},
    {{"--from", FlagKind::Value,
      "  --from N            continue after line N, as the window's Continue does\n"},
     nullptr},
    {{"--phones-out", FlagKind::Value,
      "  --phones-out FILE   write the numbers there instead of standard output\n"},
     nullptr},
    {{"--links-out", FlagKind::Value,
      "  --links-out FILE    write the links there instead of standard output\n"
      "                      (neither may be the list, a state file or the other output)\n"},
     nullptr},
    {{"--state", FlagKind::Value,
      "  --state DIR         folder of the progress and list files (default: the program's);\n"
      "                      it must exist and take new files\n"},
     [](Plan p, int) -> Given { return p.stateFolder; }},
    {{"--no-online-check", FlagKind::Switch,
      "  --no-online-check   walk even where the host resolves only to 127.0.0.1\n"},
     [](Plan p, int) -> Given { return On(p.noOnlineCheck); }},
    {{"--https", FlagKind::Switch,
      "  --https             also keep \"https://\" links; with --filter the rule line\n"
      "                      \"http://\" then accepts \"https://\" as well\n"},
     [](Plan p, int) -> Given { return On(p.https); }},
    {{"--formatted", FlagKind::Switch,
      "  --formatted         also find numbers written in groups (138-1234-5678), after\n"
      "                      +86 or 0086, or in full-width digits\n"},
     [](Plan p, int) -> Given { return On(p.formatted); }},
    {{"--prefixes", FlagKind::Value,
      "  --prefixes LIST     number prefixes, comma-separated (e.g. 13,14,15,16,17,18,19)\n"},
     [](Plan p, int) -> Given { return p.prefixes; }},
    {{"--must", FlagKind::Value,
      "  --must LIST         the link filter's must-contain lines, comma-separated\n"},
     [](Plan p, int) -> Given { return p.mustContain; }},
    {{"--must-not", FlagKind::Value,
      "  --must-not LIST     the link filter's must-not-contain lines, comma-separated\n"
      "                      (the three lists replace the state folder's list files for\n"
      "                      this run and leave those files as they are)\n"},
     [](Plan p, int) -> Given { return p.mustNotContain; }},
    {{"--format", FlagKind::Value,
      "  --format csv|jsonl  each row with the page it was found on and when: CSV rows\n"
      "                      \"value,page,time\" after a header row (GBK, CR LF), or one JSON\n"
      "                      object {\"value\",\"page\",\"time\"} a line (UTF-8, LF)\n"},
     nullptr},
    {{"--enrich", FlagKind::Switch,
      "  --enrich            with --format: also each number's province, city and carrier\n"
      "                      (\",province,city,carrier\"; JSON members of those names), from\n"
      "                      libphonenumber's data as built into the program\n"},
     nullptr},
    {{"--valid-only", FlagKind::Switch,
      "  --valid-only        leave out the numbers that are no valid Chinese mobile number,\n"
      "                      and tell how many at the end\n"},
     nullptr},
    {{"--page-log", FlagKind::Value,
      "  --page-log FILE     one record per list line and page: its address as listed and\n"
      "                      after redirects, its site, when its load started and ended, how\n"
      "                      it ended and the numbers and links it gave; CSV (GBK, CR LF),\n"
      "                      or JSONL with --format jsonl\n"},
     nullptr},
    {{"--report", FlagKind::Value,
      "  --report FILE.html  at the end, the walk report made from the page log: summary,\n"
      "                      charts and a table per site (also: tolvarine report LOG)\n"},
     nullptr},
    {{"--retries", FlagKind::Value,
      "  --retries N         try a page answered 429, 500, 502, 503 or 504, or not at all,\n"
      "                      up to N more times (0..10, default 2; 0: never)\n"},
     [](Plan p, int) -> Given { return std::to_string(p.retries); }},
    {{"--block", FlagKind::Value,
      "  --block LIST        never ask for these kinds of request: images, fonts, media\n"
      "                      (comma-separated); the pages load faster, the sites send less\n"},
     [](Plan p, int) -> Given {
       const std::string kinds = BlockListText(p.block);
       return kinds.empty() ? std::nullopt : Given(kinds);
     }},
    {{"--scroll", FlagKind::Value,
      "  --scroll N          after each load, scroll to the bottom up to N times (0..100;\n"
      "                      0, the default: never), each time waiting up to 2 s for the\n"
      "                      page to grow and stopping when it does not; harvested after each\n"},
     [](Plan p, int) -> Given { return p.scroll > 0 ? Number(p.scroll) : std::nullopt; }},
    {{"--click-more", FlagKind::Switch,
      "  --click-more        click the page's \"more\" controls (load more, show more, show\n"
      "                      phone, expand and the like, in Chinese): each at most once, at\n"
      "                      most 20 a page, never a form's or one that loads another page;\n"
      "                      harvested after each\n"},
     [](Plan p, int) -> Given { return On(p.clickMore); }},
    {{"--click-text", FlagKind::Value,
      "  --click-text LIST   the texts of the controls to click instead, comma-separated\n"
      "                      (implies --click-more)\n"},
     [](Plan p, int) -> Given {
       return p.clickTexts.empty() ? std::nullopt : Given(ClickTextsText(p.clickTexts));
     }},
    {{"--structured", FlagKind::Switch,
      "  --structured        also the numbers in the page's head, in structured data (JSON-LD\n"
      "                      and microdata telephone) and in tel: links; with --format each\n"
      "                      number's row ends with how it was found: found_in text, markup,\n"
      "                      tel or structured\n"},
     [](Plan p, int) -> Given { return On(p.structured); }},
    {{"--depth", FlagKind::Value,
      "  --depth N           also follow the links found, to depth N (0..99; 0, the default,\n"
      "                      walks the list alone): a line's page is at depth 0, a page found\n"
      "                      on a depth-d page at d+1; breadth-first, each address loaded\n"
      "                      once; http:// links (and https:// with --https), no images,\n"
      "                      archives, documents, media or programs\n"},
     [](Plan p, int) -> Given { return Followed(p, std::to_string(p.follow.depth)); }},
    {{"--scope", FlagKind::Value,
      "  --scope site|host   follow links within the line's site (its registrable domain by\n"
      "                      the Public Suffix List; the default) or its host name only\n"},
     [](Plan p, int) -> Given {
       return Followed(p, p.follow.scope == ScopeKind::Host ? "host" : "site");
     }},
    {{"--max-pages", FlagKind::Value,
      "  --max-pages N       at most N pages from each list line (default 1000)\n"},
     [](Plan p, int) -> Given { return Followed(p, std::to_string(p.follow.maxPagesPerLine)); }},
    {{"--ignore-robots", FlagKind::Switch,
      "  --ignore-robots     load the pages robots.txt disallows (for your own sites);\n"
      "                      by default each host's robots.txt is asked once and obeyed\n"
      "                      (the crawl's queue lives in tolvarine-crawl.db in the state\n"
      "                      folder, so --continue resumes it where it stopped)\n"},
     [](Plan p, int) -> Given { return On(p.follow.ignoreRobots); }},
    {{"--sitemaps", FlagKind::Switch,
      "  --sitemaps          also queue the pages each start site's sitemaps list (the\n"
      "                      Sitemap: lines of its robots.txt, else /sitemap.xml)\n"},
     [](Plan p, int) -> Given { return On(p.follow.sitemaps); }},
    {{"--shard", FlagKind::Value,
      "  --shard K/N         walk only shard K (0..N-1) of N: line i (from 1) belongs to shard\n"
      "                      (i-1) mod N, or with --depth a line's site hashes to its shard;\n"
      "                      its progress file is tolvarine-shard-K-of-N.ini\n"},
     [](Plan p, int k) -> Given { return std::to_string(k) + "/" + std::to_string(p.jobs); }},
    {{"--jobs", FlagKind::Value,
      "  --jobs N            walk N shards at once (1..64), each in a process of its own,\n"
      "                      their rows joined into the one output as one walk writes them\n"},
     nullptr},
    {{"--continue", FlagKind::Switch,
      "  --continue          go on where the same command stopped (its progress file), adding\n"
      "                      to the output files; with --dedup the rows already in them are\n"
      "                      not written again\n"},
     [](Plan p, int) -> Given { return On(p.continuing); }},
    {{"--verbose", FlagKind::Switch,
      "  --verbose           also show the browser engine's own messages\n"},
     [](Plan p, int) -> Given { return On(p.verbose); }},
    // Between a --jobs run and the shards it starts; not in the usage.
    {{"--records-fd", FlagKind::Value}, [](Plan, int) -> Given { return "3"; }},
    {{"--ack-fd", FlagKind::Value}, [](Plan, int) -> Given { return "4"; }},
};

}  // namespace

const std::vector<HarvestFlag>& HarvestFlags() { return kFlags; }

const CommandTable& HarvestCommand() {
  static const CommandTable command = [] {
    CommandTable table{"harvest", kHead, {}, kTail};
    for (const HarvestFlag& row : HarvestFlags()) table.flags.push_back(row.flag);
    return table;
  }();
  return command;
}

}  // namespace tolvarine::cli
