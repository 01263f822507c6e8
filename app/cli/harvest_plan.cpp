#include "app/cli/harvest_plan.h"

#include <filesystem>
#include <fstream>
#include <system_error>

#include "app/cli/harvest_flags.h"
#include "base/errors.h"
#include "base/file_names.h"
#include "base/gbk.h"
#include "base/line_reader.h"
#include "base/number_text.h"
#include "base/platform/process.h"
#include "base/state_folder.h"
#include "engine/crawl_texts.h"
#include "engine/extra_options_file.h"
#include "engine/progress_file.h"

namespace tolvarine::cli {
namespace {

namespace fs = std::filesystem;

constexpr int kMaxJobs = 64;

// "K/N" with 0 <= K < N.
HarvestShard ParseShard(const std::string& text) {
  const std::size_t slash = text.find('/');
  const auto number = [](const std::string& digits) {
    const std::optional<long long> n = ParseDecimal(digits, 0, 999999);
    if (!n) throw UsageError("--shard takes K/N, for example 0/4");
    return static_cast<int>(*n);
  };
  if (slash == std::string::npos) throw UsageError("--shard takes K/N, for example 0/4");
  HarvestShard shard{number(text.substr(0, slash)), number(text.substr(slash + 1))};
  if (shard.count < 1 || shard.index >= shard.count)
    throw UsageError("--shard K/N needs 0 <= K < N");
  return shard;
}

std::string FolderWithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

std::optional<int> IntNumber(const ParsedArgs& parsed, const char* flag, long long low,
                             long long high) {
  const std::optional<long long> n = parsed.Number(flag, low, high);
  if (!n) return std::nullopt;
  return static_cast<int>(*n);
}

void CheckExclusions(const ParsedArgs& parsed, const HarvestPlan& plan) {
  if (parsed.Has("--speed") && parsed.Has("--interval-ms"))
    throw UsageError("--speed and --interval-ms exclude each other");
  if (plan.from && plan.continuing) throw UsageError("--from and --continue exclude each other");
  if (plan.jobs && plan.shard) throw UsageError("--shard and --jobs exclude each other");
  if (plan.jobs && plan.from) throw UsageError("--from and --jobs exclude each other");
  if (plan.enrich && plan.format == RecordFormat::Plain)
    throw UsageError("--enrich adds fields to records: give --format csv or jsonl");
  if (plan.follow.depth == 0) {
    for (const char* flag : {"--scope", "--max-pages", "--ignore-robots", "--sitemaps"})
      if (parsed.Has(flag))
        throw UsageError(std::string(flag) + " takes effect when links are followed: give --depth N");
  }
  // The window's message, before anything is opened.
  if (!plan.links && !plan.phones)
    throw UsageError(GbkToUtf8(texts::kNeedSearchItem) + " (--links, --phones)");
}

// Two paths that name one file: the same file where both exist, the same place where not.
bool SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  if (fs::exists(a, error) && fs::exists(b, error)) return fs::equivalent(a, b, error);
  const auto place = [](const std::string& path) {
    std::error_code e;
    return fs::weakly_canonical(fs::absolute(path, e), e).lexically_normal();
  };
  return place(a) == place(b);
}

// Devices and pipes (/dev/null, a terminal) may take both outputs; a file may not.
bool IsSharedStream(const std::string& path) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  return fs::exists(status) && !fs::is_regular_file(status) && !fs::is_directory(status);
}

void CheckOutputs(const HarvestPlan& plan) {
  std::vector<std::string> inputs = HarvestStateFiles(plan);
  inputs.insert(inputs.begin(), plan.listPath);
  std::vector<std::pair<const char*, std::string>> outputs;
  for (const auto& [flag, out] :
       {std::pair{"--phones-out", plan.phonesOut}, std::pair{"--links-out", plan.linksOut},
        std::pair{"--page-log", plan.pageLog}, std::pair{"--report", plan.report}}) {
    if (!out) continue;
    for (const std::string& input : inputs) {
      if (SameFile(*out, input))
        throw UsageError(std::string(flag) + " " + *out + " is a file the walk reads (" + input +
                         "); choose another output file");
    }
    for (const auto& [otherFlag, other] : outputs) {
      if (!IsSharedStream(*out) && SameFile(*out, other))
        throw UsageError(std::string(otherFlag) + " and " + flag + " name one file (" + *out +
                         "); give each its own");
    }
    outputs.emplace_back(flag, *out);
  }
}

}  // namespace

HarvestBlock ParseBlockList(const std::string& text) {
  HarvestBlock block;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = text.find(',', start);
    const std::string kind = text.substr(start, comma - start);
    if (kind == "images")
      block.images = true;
    else if (kind == "fonts")
      block.fonts = true;
    else if (kind == "media")
      block.media = true;
    else
      throw UsageError("--block takes images, fonts or media, comma-separated, not '" + kind +
                       "'");
    if (comma == std::string::npos) return block;
    start = comma + 1;
  }
}

std::string BlockListText(const HarvestBlock& block) {
  std::string text;
  for (const auto& [on, kind] : {std::pair{block.images, "images"}, std::pair{block.fonts, "fonts"},
                                 std::pair{block.media, "media"}}) {
    if (on) text += (text.empty() ? "" : ",") + std::string(kind);
  }
  return text;
}

std::vector<std::string> ParseClickTexts(const std::string& text) {
  std::vector<std::string> texts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = text.find(',', start);
    std::string item = text.substr(start, comma - start);
    item.erase(0, item.find_first_not_of(' '));
    item.erase(item.find_last_not_of(' ') + 1);
    if (item.empty()) throw UsageError("--click-text takes texts, comma-separated, none empty");
    std::string gbk = Utf8ToGbk(item);
    // A character GBK cannot hold would become "?" and match other controls.
    if (GbkToUtf8(gbk) != item)
      throw UsageError("--click-text: '" + item + "' is no UTF-8 text that GBK can hold");
    texts.push_back(std::move(gbk));
    if (comma == std::string::npos) return texts;
    start = comma + 1;
  }
}

std::string ClickTextsText(const std::vector<std::string>& texts) {
  std::string text;
  for (const std::string& item : texts) text += (text.empty() ? "" : ",") + GbkToUtf8(item);
  return text;
}

HarvestPlan ParseHarvestPlan(const std::vector<std::string>& args) {
  return HarvestPlanFrom(HarvestCommand().Parse(args));
}

HarvestPlan HarvestPlanFrom(const ParsedArgs& parsed) {
  if (parsed.Positional().size() != 1) throw UsageError("give exactly one URL list file");
  HarvestPlan plan;
  plan.listPath = parsed.Positional()[0];
  plan.links = parsed.Has("--links");
  plan.phones = parsed.Has("--phones");
  plan.dedup = parsed.Has("--dedup");
  plan.filter = parsed.Has("--filter");
  plan.onlySite = parsed.Has("--only-site");
  plan.https = parsed.Has("--https");
  plan.formatted = parsed.Has("--formatted");
  plan.noOnlineCheck = parsed.Has("--no-online-check");
  plan.continuing = parsed.Has("--continue");
  plan.verbose = parsed.Has("--verbose");
  plan.enrich = parsed.Has("--enrich");
  plan.validOnly = parsed.Has("--valid-only");
  plan.prefixes = parsed.Value("--prefixes");
  plan.mustContain = parsed.Value("--must");
  plan.mustNotContain = parsed.Value("--must-not");
  plan.speed = IntNumber(parsed, "--speed", 1, 60);
  plan.intervalMs = IntNumber(parsed, "--interval-ms", 1, 3600000);
  plan.from = IntNumber(parsed, "--from", 0, INT32_MAX);
  plan.phonesOut = parsed.Value("--phones-out");
  plan.linksOut = parsed.Value("--links-out");
  plan.pageLog = parsed.Value("--page-log");
  plan.report = parsed.Value("--report");
  plan.stateFolder =
      parsed.Value("--state") ? FolderWithSlash(*parsed.Value("--state")) : StateFolder();
  plan.format = RecordFormatOption(parsed);
  if (auto text = parsed.Value("--shard")) plan.shard = ParseShard(*text);
  plan.jobs = IntNumber(parsed, "--jobs", 1, kMaxJobs).value_or(0);
  plan.recordsFd = IntNumber(parsed, "--records-fd", 3, 1023).value_or(-1);
  plan.ackFd = IntNumber(parsed, "--ack-fd", 3, 1023).value_or(-1);
  plan.follow.depth = IntNumber(parsed, "--depth", 0, kMaxFollowDepth).value_or(0);
  if (auto scope = parsed.Value("--scope")) {
    const std::optional<ScopeKind> kind = ScopeKindFromName(*scope);
    if (!kind) throw UsageError("--scope takes site or host");
    plan.follow.scope = *kind;
  }
  plan.follow.maxPagesPerLine =
      IntNumber(parsed, "--max-pages", 1, 100000000).value_or(kDefaultMaxPagesPerLine);
  plan.follow.ignoreRobots = parsed.Has("--ignore-robots");
  plan.follow.sitemaps = parsed.Has("--sitemaps");
  plan.retries = IntNumber(parsed, "--retries", 0, kMaxRetries).value_or(kDefaultRetries);
  if (auto block = parsed.Value("--block")) plan.block = ParseBlockList(*block);
  plan.scroll = IntNumber(parsed, "--scroll", 0, kMaxScrolls).value_or(0);
  if (auto texts = parsed.Value("--click-text")) plan.clickTexts = ParseClickTexts(*texts);
  plan.clickMore = parsed.Has("--click-more") || !plan.clickTexts.empty();
  plan.structured = parsed.Has("--structured");
  CheckExclusions(parsed, plan);
  return plan;
}

StateFileNames PlanStateFileNames(const HarvestPlan& plan) {
  if (!plan.shard) return StateFileNamesFor(false, 0, 1);
  return StateFileNamesFor(true, plan.shard->index, plan.shard->count);
}

ProgressFile PlanProgressFile(const HarvestPlan& plan) {
  return ProgressFile(plan.stateFolder, PlanStateFileNames(plan).progress);
}

namespace {

// A walk's progress file and, when links are followed, its crawl state files.
void AddWalkState(const HarvestPlan& plan, std::vector<std::string>& state) {
  state.push_back(PlanProgressFile(plan).ProgressPath());
  if (plan.follow.depth > 0) {
    const std::string crawl = plan.stateFolder + PlanStateFileNames(plan).crawlState;
    state.insert(state.end(), {crawl, crawl + "-wal", crawl + "-shm"});
  }
}

}  // namespace

std::vector<std::string> HarvestStateFiles(const HarvestPlan& plan) {
  const ProgressFile files = PlanProgressFile(plan);
  std::vector<std::string> state = {
      files.ListPath(RuleList::Prefixes), files.ListPath(RuleList::MustContain),
      files.ListPath(RuleList::MustNotContain), plan.stateFolder + kExtraOptionsFileName,
      plan.stateFolder + StateFileNamesFor(false, 0, 1).lock};
  for (const std::string& lock : StateLockPaths(plan)) {
    if (lock != state.back()) state.push_back(lock);
  }
  AddWalkState(plan, state);
  for (int k = 0; k < plan.jobs; ++k) {
    HarvestPlan shard = plan;
    shard.shard = HarvestShard{k, plan.jobs};
    AddWalkState(shard, state);
  }
  if (plan.jobs > 0) state.push_back(JobsJournalPath(plan));
  return state;
}

// The window, one walk and a --jobs parent lock the folder's own lock file; a shard run by
// hand locks one of its own, so that the shards of a list may share a folder; a --jobs
// parent locks its shards' too, and the shards it starts lock nothing.
std::vector<std::string> StateLockPaths(const HarvestPlan& plan) {
  if (plan.shard && plan.recordsFd >= 0) return {};
  std::vector<std::string> paths = {plan.stateFolder + PlanStateFileNames(plan).lock};
  for (int k = 0; k < plan.jobs; ++k)
    paths.push_back(plan.stateFolder + StateFileNamesFor(true, k, plan.jobs).lock);
  return paths;
}

std::string JobsJournalPath(const HarvestPlan& plan) {
  return plan.stateFolder + kJobsJournalName;
}

void CheckHarvestFiles(const HarvestPlan& plan) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(plan.listPath, error) ||
      !std::ifstream(plan.listPath, std::ios::binary))
    throw FileOpenError(GbkFileName(plan.listPath));
  if (plan.from) {
    const int lines = CountLines(plan.listPath);
    if (*plan.from > lines)
      throw UsageError("--from " + std::to_string(*plan.from) + " lies past the end of " +
                       plan.listPath + ", which has " + std::to_string(lines) + " lines");
  }
  if (!std::filesystem::is_directory(plan.stateFolder, error))
    throw UsageError("the state folder " + plan.stateFolder + " does not exist");
  if (!platform::CanWriteTo(plan.stateFolder))
    throw UsageError("the state folder " + plan.stateFolder +
                     " takes no new files; the progress could not be kept");
  CheckOutputs(plan);
}

std::vector<std::string> ShardArguments(const HarvestPlan& plan, int index) {
  std::vector<std::string> args = {plan.listPath};
  for (const HarvestFlag& row : HarvestFlags()) {
    if (!row.forShard) continue;
    const std::optional<std::string> value = row.forShard(plan, index);
    if (!value) continue;
    args.emplace_back(row.flag.name);
    if (row.flag.kind == FlagKind::Value) args.push_back(*value);
  }
  return args;
}

}  // namespace tolvarine::cli
