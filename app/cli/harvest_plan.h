#pragma once
// What one harvest command asks for, read from its flags once and checked before anything
// is opened for writing. One walk and each shard of --jobs run from the same plan.
#include <optional>
#include <string>
#include <vector>

#include "app/cli/arg_parser.h"
#include "engine/extra_options_file.h"
#include "engine/progress_file.h"
#include "engine/result_records.h"
#include "engine/state_file_names.h"

namespace tolvarine::cli {

struct HarvestShard {
  int index = 0;
  int count = 1;
};

// Links followed from each line to this depth (0: the list alone), within its site or host,
// at most maxPagesPerLine pages a line, obeying robots.txt unless ignoreRobots, seeded from
// each start site's sitemaps when asked. (Whether https:// links are followed too is the
// plan's `https`.)
struct HarvestFollow {
  int depth = 0;
  ScopeKind scope = ScopeKind::Site;
  int maxPagesPerLine = kDefaultMaxPagesPerLine;
  bool ignoreRobots = false;
  bool sitemaps = false;
};

// The kinds of request the walk's pages never send (--block).
struct HarvestBlock {
  bool images = false;
  bool fonts = false;
  bool media = false;
};

struct HarvestPlan {
  std::string listPath;  // file-system path of the URL list
  bool links = false;
  bool phones = false;
  bool dedup = false;
  bool filter = false;
  bool onlySite = false;
  bool https = false;
  bool formatted = false;
  bool noOnlineCheck = false;
  bool continuing = false;
  bool verbose = false;
  bool enrich = false;     // each number's province, city and carrier in its record
  bool validOnly = false;  // numbers that are no valid Chinese mobile number are dropped
  HarvestFollow follow;
  // A page answered "try later" or not at all is tried again this many times.
  int retries = kDefaultRetries;
  HarvestBlock block;
  // Reveal steps after each load: scroll to the bottom up to `scroll` times (0: never);
  // click the "more" controls whose own text is one of clickTexts (GBK; empty: the
  // default texts).
  int scroll = 0;
  bool clickMore = false;
  std::vector<std::string> clickTexts;
  // Numbers stated for machines are harvested too; rows with sources say how each was found.
  bool structured = false;
  // Comma-separated rule lists given for this run (UTF-8).
  std::optional<std::string> prefixes, mustContain, mustNotContain;
  std::optional<int> speed;
  std::optional<int> intervalMs;
  std::optional<int> from;
  std::optional<std::string> phonesOut, linksOut;  // absent: standard output
  std::optional<std::string> pageLog;  // one record a page (CSV, or JSONL by --format)
  std::optional<std::string> report;   // the walk report (HTML) made from the page log
  std::string stateFolder;                         // with a trailing "/"
  RecordFormat format = RecordFormat::Plain;
  std::optional<HarvestShard> shard;
  int jobs = 0;  // 0: one walk in this process
  // A shard started by --jobs hands its records to its parent through this descriptor.
  int recordsFd = -1;
  // ... and waits on this one for the parent's answer before it saves pages as done.
  int ackFd = -1;
};

// "images,fonts,media" or any of them: --block's value. Throws UsageError for an empty or
// unknown kind.
HarvestBlock ParseBlockList(const std::string& text);
// The value --block takes for `block`; empty when nothing is blocked.
std::string BlockListText(const HarvestBlock& block);

// --click-text's value (UTF-8, comma-separated) as GBK texts. Throws UsageError for an
// empty text and for one GBK cannot hold.
std::vector<std::string> ParseClickTexts(const std::string& text);
// The value --click-text takes for `texts`.
std::string ClickTextsText(const std::vector<std::string>& texts);

// Reads the flags (without the program and command names). Throws UsageError.
HarvestPlan ParseHarvestPlan(const std::vector<std::string>& args);
// The same from flags already parsed by the harvest command's table (harvest_flags.h).
HarvestPlan HarvestPlanFrom(const ParsedArgs& parsed);

// The checks that need the file system, made before any output is opened: the list is a
// readable file (FileOpenError naming it), --from lies within it, no output is an input or
// the other output, and the state folder takes new files (UsageError for these).
void CheckHarvestFiles(const HarvestPlan& plan);

// The names of the walk's own files in the state folder (a shard keeps its own).
StateFileNames PlanStateFileNames(const HarvestPlan& plan);

// The progress file of the plan's walk (a shard keeps its own) and its rule list files.
ProgressFile PlanProgressFile(const HarvestPlan& plan);

// The state files a walk of the plan reads or writes (progress, rule list and extra options
// files, the crawl's state file when links are followed, the state folder's lock file; for
// --jobs also each shard's progress and crawl state files and the journal).
std::vector<std::string> HarvestStateFiles(const HarvestPlan& plan);

// The file in the state folder where a --jobs run keeps what it holds back from its outputs.
std::string JobsJournalPath(const HarvestPlan& plan);

// The lock files the plan's walk holds for as long as it runs (none for a shard started by
// --jobs: its parent holds them).
std::vector<std::string> StateLockPaths(const HarvestPlan& plan);

// The arguments of shard `index` of a --jobs run, from the harvest command's table: the
// plan's walk flags, without the outputs, with --shard and the records descriptors.
std::vector<std::string> ShardArguments(const HarvestPlan& plan, int index);

}  // namespace tolvarine::cli
