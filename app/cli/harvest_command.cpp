// tolvarine harvest: a walk through the WebEngine browser without a window, with the same
// crawl controller as the window; with --jobs, several such walks joined into one output.
#include <deque>
#include <string>
#include <vector>

#include "app/cli/arg_parser.h"
#include "app/cli/command_io.h"
#include "app/cli/command_list.h"
#include "app/cli/harvest_jobs.h"
#include "app/cli/harvest_plan.h"
#include "app/cli/harvest_walk.h"
#include "base/errors.h"
#include "base/file_names.h"
#include "base/platform/environment.h"
#include "base/platform/state_lock.h"
#include "base/state_folder.h"

namespace tolvarine::cli {
namespace {

const char kUsage[] =
    "usage: tolvarine harvest LIST [--links] [--phones] [--dedup] [--filter] [--only-site]\n"
    "                         [--speed N | --interval-ms N] [--from N]\n"
    "                         [--phones-out FILE] [--links-out FILE] [--state DIR]\n"
    "                         [--no-online-check] [--https] [--formatted]\n"
    "                         [--prefixes LIST] [--must LIST] [--must-not LIST]\n"
    "                         [--format csv|jsonl] [--shard K/N | --jobs N]\n"
    "                         [--page-log FILE] [--report FILE.html]\n"
    "                         [--enrich] [--valid-only] [--continue] [--verbose]\n"
    "                         [--depth N [--scope site|host] [--max-pages N]\n"
    "                          [--ignore-robots]]\n"
    "  Walks the URL list LIST through the embedded browser, as the window's Search does.\n"
    "  --links, --phones   search links, search phones (at least one)\n"
    "  --dedup, --filter, --only-site   the window's options of the same names\n"
    "  --speed N           seconds per page, a whole number from 1 to 60 (default 8): the\n"
    "                      least time between two loads; a page slower than that is\n"
    "                      harvested as it completes\n"
    "  --interval-ms N     the pacing period in milliseconds instead (local walks, tests)\n"
    "  --from N            continue after line N, as the window's Continue does\n"
    "  --phones-out FILE   write the numbers there instead of standard output\n"
    "  --links-out FILE    write the links there instead of standard output\n"
    "                      (neither may be the list, a state file or the other output)\n"
    "  --state DIR         folder of the progress and list files (default: the program's);\n"
    "                      it must exist and take new files\n"
    "  --no-online-check   walk even where the host resolves only to 127.0.0.1\n"
    "  --https             also keep \"https://\" links; with --filter the rule line\n"
    "                      \"http://\" then accepts \"https://\" as well\n"
    "  --formatted         also find numbers written in groups (138-1234-5678), after\n"
    "                      +86 or 0086, or in full-width digits\n"
    "  --prefixes LIST     number prefixes, comma-separated (e.g. 13,14,15,16,17,18,19)\n"
    "  --must LIST         the link filter's must-contain lines, comma-separated\n"
    "  --must-not LIST     the link filter's must-not-contain lines, comma-separated\n"
    "                      (the three lists replace the state folder's list files for\n"
    "                      this run and leave those files as they are)\n"
    "  --format csv|jsonl  each row with the page it was found on and when: CSV rows\n"
    "                      \"value,page,time\" after a header row (GBK, CR LF), or one JSON\n"
    "                      object {\"value\",\"page\",\"time\"} a line (UTF-8, LF)\n"
    "  --enrich            with --format: also each number's province, city and carrier\n"
    "                      (\",province,city,carrier\"; JSON members of those names), from\n"
    "                      libphonenumber's data as built into the program\n"
    "  --valid-only        leave out the numbers that are no valid Chinese mobile number,\n"
    "                      and tell how many at the end\n"
    "  --page-log FILE     one record per list line and page: its address as listed and\n"
    "                      after redirects, its site, when its load started and ended, how\n"
    "                      it ended and the numbers and links it gave; CSV (GBK, CR LF),\n"
    "                      or JSONL with --format jsonl\n"
    "  --report FILE.html  at the end, the walk report made from the page log: summary,\n"
    "                      charts and a table per site (also: tolvarine report LOG)\n"
    "  --depth N           also follow the links found, to depth N (0..99; 0, the default,\n"
    "                      walks the list alone): a line's page is at depth 0, a page found\n"
    "                      on a depth-d page at d+1; breadth-first, each address loaded\n"
    "                      once; http:// links (and https:// with --https), no images,\n"
    "                      archives, documents, media or programs\n"
    "  --scope site|host   follow links within the line's site (its registrable domain by\n"
    "                      the Public Suffix List; the default) or its host name only\n"
    "  --max-pages N       at most N pages from each list line (default 1000)\n"
    "  --ignore-robots     load the pages robots.txt disallows (for your own sites);\n"
    "                      by default each host's robots.txt is asked once and obeyed\n"
    "                      (the crawl's queue lives in tolvarine-crawl.db in the state\n"
    "                      folder, so --continue resumes it where it stopped)\n"
    "  --shard K/N         walk only shard K (0..N-1) of N: line i (from 1) belongs to shard\n"
    "                      (i-1) mod N, or with --depth a line's site hashes to its shard;\n"
    "                      its progress file is tolvarine-shard-K-of-N.ini\n"
    "  --jobs N            walk N shards at once (1..64), each in a process of its own,\n"
    "                      their rows joined into the one output as one walk writes them\n"
    "  --continue          go on where the same command stopped (its progress file), adding\n"
    "                      to the output files; with --dedup the rows already in them are\n"
    "                      not written again\n"
    "  --verbose           also show the browser engine's own messages\n"
    "  Rows are written as found (GBK, CR LF but for jsonl); progress goes to standard\n"
    "  error, then the totals. SIGINT or SIGTERM stops the walk at its next tick and writes\n"
    "  the progress file; the position is also saved every 60 s, so a killed walk continues\n"
    "  from at most a minute back. A row that cannot be written stops the walk too.\n"
    "  Nothing is written before the list, the outputs and the state folder are checked.\n"
    "  Exit status: 0 the walk finished, 1 a failure, 2 a usage error, 130 stopped by\n"
    "  SIGINT, 143 stopped by SIGTERM.\n";

// Takes the state folder's locks for the whole command. Throws when another walk holds one
// (naming it) or a lock file cannot be made.
void LockStateFolder(const HarvestPlan& plan, std::deque<platform::StateLock>& locks) {
  for (const std::string& path : StateLockPaths(plan)) {
    long holder = 0;
    const int result = locks.emplace_back().TryLock(path, holder);
    if (result == platform::StateLock::kHeld) {
      const std::string process = holder > 0 ? " (process " + std::to_string(holder) + ")" : "";
      throw Error("the state folder " + GbkFileName(plan.stateFolder) +
                  " is in use by another walk" + process +
                  "; wait for it to end or give --state another folder");
    }
    if (result != 0) throw FileCreateError(GbkFileName(path));
  }
}

}  // namespace

int RunHarvest(int argc, char** argv, const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (arg == "--help") return ShowUsage(kUsage);
  }
  HarvestPlan plan;
  try {
    plan = ParseHarvestPlan(args);
    CheckHarvestFiles(plan);
  } catch (const UsageError& e) {
    return ShowUsage(kUsage, e.what());
  } catch (const std::exception& e) {
    PrintFailure(e.what());
    return 1;
  }
  // The shards inherit it, as they inherit the rest of the environment.
  if (plan.verbose) platform::SetEnvironment("TOLVARINE_VERBOSE", "1");
  // One walk a state folder: a shard's parent holds the lock for it.
  std::deque<platform::StateLock> locks;
  try {
    LockStateFolder(plan, locks);
    if (plan.jobs > 0) return RunHarvestJobs(plan);
    return WalkStatus(RunOneWalk(argc, argv, plan));
  } catch (const std::exception& e) {
    PrintFailure(e.what());
    return 1;
  }
}

}  // namespace tolvarine::cli
