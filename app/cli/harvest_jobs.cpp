// Separate processes rather than N pages in one: a renderer that crashes or a page that
// hangs costs only its own shard (its process keeps its own watchdog and progress file), and
// every shard keeps the one-page walk whose pacing and completion rules the window has.
#include "app/cli/harvest_jobs.h"

#include <cstdio>
#include <string>
#include <vector>

#include "app/cli/command_io.h"
#include "app/cli/harvest_output.h"
#include "app/cli/page_log_output.h"
#include "app/cli/report_command.h"
#include "app/cli/shard_join.h"
#include "app/cli/shard_journal.h"
#include "app/cli/shard_lines.h"
#include "base/platform/shard_processes.h"
#include "engine/crawl_texts.h"

namespace tolvarine::cli {
namespace {

struct Shards {
  std::vector<int> pids, recordsFds, ackFds;
};

// Starts the shards. When one cannot start, those started are killed and waited for, their
// pipes closed, and the failure thrown.
Shards StartShards(const HarvestPlan& plan) {
  Shards shards;
  try {
    for (int k = 0; k < plan.jobs; ++k) {
      std::vector<std::string> args = {"tolvarine-qt", "harvest"};
      const std::vector<std::string> more = ShardArguments(plan, k);
      args.insert(args.end(), more.begin(), more.end());
      const platform::ChildWalk child = platform::StartChildWalk(args);
      shards.pids.push_back(child.pid);
      shards.recordsFds.push_back(child.recordsFd);
      shards.ackFds.push_back(child.ackFd);
      platform::PassStopSignalsTo(shards.pids);
    }
  } catch (...) {
    platform::PassStopSignalsTo({});
    platform::KillAndReap(shards.pids);
    for (const std::vector<int>* fds : {&shards.recordsFds, &shards.ackFds})
      for (int fd : *fds) platform::CloseDescriptor(fd);
    throw;
  }
  return shards;
}

// Waits for every shard: false when one ended otherwise than by the run's stop signal or
// its own finish, which it says.
bool WaitForShards(const HarvestPlan& plan, const Shards& shards, bool writeFailed) {
  const int stopSignal = platform::StopSignalSeen();
  bool ok = true;
  for (int k = 0; k < plan.jobs; ++k) {
    const int status = platform::WaitForChild(shards.pids[static_cast<std::size_t>(k)]);
    const bool stopped = stopSignal && status == platform::StatusForStopSignal(stopSignal);
    if (status != 0 && !stopped && !writeFailed) {
      ok = false;
      std::fprintf(stderr, "tolvarine: shard %d/%d did not finish (exit status %d)\n", k,
                   plan.jobs, status);
    }
  }
  return ok;
}

}  // namespace

int RunHarvestJobs(const HarvestPlan& plan) {
  HarvestOutput output(plan);
  PageLogOutput pageLog(plan);
  ShardJournal journal(JobsJournalPath(plan));
  Shards shards;
  ShardJoin join(plan, output, pageLog, ShardOfEachLine(plan), &journal,
                 [&shards](std::size_t k, bool kept) {
                   platform::WriteByte(shards.ackFds[k], kept ? kSyncHeld : kSyncRefused);
                 });
  output.Open(&join.Pipeline());
  pageLog.Open();
  join.Replay(journal.Open(plan.continuing));

  platform::IgnoreBrokenPipes();
  shards = StartShards(plan);
  const bool readAll =
      platform::ReadPipesUntilClosed(shards.recordsFds, [&](std::size_t k, std::string_view bytes) {
        const bool failedBefore = join.WriteFailed();
        join.Take(k, bytes);
        // Nothing more can be written: the shards stop and keep their positions.
        if (join.WriteFailed() && !failedBefore) platform::StopChildren(shards.pids);
      });
  // A shard that waits for an answer now finds the pipe's end and goes without saving.
  for (int fd : shards.ackFds) platform::CloseDescriptor(fd);
  if (!readAll) {
    platform::StopChildren(shards.pids);
    PrintFailure("the shards' records could not be read");
  }
  join.Finish();
  bool failed = !WaitForShards(plan, shards, join.WriteFailed()) || join.WriteFailed() || !readAll;
  const int stopSignal = platform::StopSignalSeen();
  platform::PassStopSignalsTo({});
  PrintMessage(texts::kFinished);
  output.PrintTotals(join.Abandoned(), join.Early(), join.Dropped());
  if (!CloseWithReport(pageLog, plan)) failed = true;
  if (failed) return 1;
  if (!stopSignal) return 0;
  std::fprintf(stderr,
               "tolvarine: the walk was stopped (%s); --continue goes on from where each "
               "shard stopped\n",
               platform::StopSignalName(stopSignal));
  return platform::StatusForStopSignal(stopSignal);
}

}  // namespace tolvarine::cli
