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
#include "base/line_reader.h"
#include "base/platform/shard_processes.h"
#include "engine/crawl_texts.h"

namespace tolvarine::cli {

int RunHarvestJobs(const HarvestPlan& plan) {
  HarvestOutput output(plan);
  output.Open();
  PageLogOutput pageLog(plan);
  pageLog.Open();
  ShardJoin join(plan, output, pageLog, CountLines(plan.listPath));

  std::vector<int> pids, fds;
  platform::IgnoreBrokenPipes();
  for (int k = 0; k < plan.jobs; ++k) {
    std::vector<std::string> args = {"tolvarine-qt", "harvest"};
    const std::vector<std::string> more = ShardArguments(plan, k);
    args.insert(args.end(), more.begin(), more.end());
    const platform::ChildWalk child = platform::StartChildWalk(args);
    pids.push_back(child.pid);
    fds.push_back(child.recordsFd);
    platform::PassStopSignalsTo(pids);
  }
  platform::ReadPipesUntilClosed(fds, [&](std::size_t k, std::string_view bytes) {
    const bool failedBefore = join.WriteFailed();
    join.Take(k, bytes);
    // Nothing more can be written: the shards stop and keep their positions.
    if (join.WriteFailed() && !failedBefore) platform::StopChildren(pids);
  });
  join.Finish();
  const int stopSignal = platform::StopSignalSeen();
  bool failed = join.WriteFailed();
  for (int k = 0; k < plan.jobs; ++k) {
    const int status = platform::WaitForChild(pids[static_cast<std::size_t>(k)]);
    const bool stopped = stopSignal && status == platform::StatusForStopSignal(stopSignal);
    if (status != 0 && !stopped && !join.WriteFailed()) {
      failed = true;
      std::fprintf(stderr, "tolvarine: shard %d/%d did not finish (exit status %d)\n", k,
                   plan.jobs, status);
    }
  }
  platform::PassStopSignalsTo({});
  PrintMessage(texts::kFinished);
  output.PrintTotals(join.Abandoned(), join.Early());
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
