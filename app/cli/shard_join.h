#pragma once
// The records of a --jobs run's shards joined into one output, as one walk would write it.
// Each shard sends a page's rows, then its record; the parent puts them together as the
// page's result and runs it through the same page pipeline as one walk (valid only, dedup,
// the counts of new numbers and their places), then writes its rows and its record. With
// --dedup the order matters: a page's result is held until every shard has read past its
// line (or ended), and results go through in the order of their lines, so that an earlier
// line in a slower shard still keeps the number. What is held is kept in a journal, so that
// a shard's sync (before it saves pages as done) is answered only once everything it sent is
// written or kept.
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli/harvest_output.h"
#include "app/cli/page_log_output.h"
#include "app/cli/progress_line.h"
#include "app/cli/shard_journal.h"
#include "app/cli/shard_records.h"
#include "engine/page_pipeline.h"

namespace tolvarine::cli {

class ShardJoin : private PageResultSink {
 public:
  // How a shard's sync is answered: true when everything it sent is written or kept.
  using Answer = std::function<void(std::size_t shard, bool held)>;
  // lineShards: the shard of each line of the list, for the progress display.
  // pageLog: where the pages' records go (may be inactive).
  // journal: where held messages are kept (none: they are not).
  ShardJoin(const HarvestPlan& plan, HarvestOutput& output, PageLogOutput& pageLog,
            const std::vector<int>& lineShards, ShardJournal* journal = nullptr,
            Answer answer = {});

  // The pipeline the pages go through (to be told what a continued output holds).
  PagePipeline& Pipeline() { return pipeline_; }
  // Messages a journal still held from a run that was killed: held again, before any shard
  // sends.
  void Replay(const std::vector<std::string>& messages);
  // Bytes from shard k's pipe: whole lines are messages, the rest waits for more.
  void Take(std::size_t k, std::string_view bytes);
  // Every shard has ended: the pages still held go through.
  void Finish();

  int Abandoned() const { return abandoned_; }
  int Early() const { return early_; }
  int Dropped() const { return pipeline_.Dropped(); }
  bool WriteFailed() const { return writeFailed_; }

 private:
  void Apply(std::size_t k, const ShardMessage& message);
  // A row joins the page its shard is sending.
  void AddRow(PageResult& page, const ShardMessage& row) const;
  // The page's record has come: its result goes through, or is held (and kept).
  void EndPage(PageResult page, bool keep);
  void AnswerSync(std::size_t k);
  // Runs the held pages whose line every running shard has read past.
  void Release(int belowLine);
  int SafeLine() const;
  void ShowProgress();
  void OnPage(const PageResult& page) override;

  const HarvestPlan& plan_;
  HarvestOutput& output_;
  PageLogOutput& pageLog_;
  ShardJournal* journal_;
  Answer answer_;
  PagePipeline pipeline_;
  RowRules rules_;
  // Each shard's lines, in order, for the progress.
  std::vector<std::vector<int>> shardLines_;
  std::vector<int> positions_;
  // Each shard's pages done and addresses queued, for a crawl's progress.
  std::vector<long long> pages_;
  std::vector<long long> queued_;
  std::vector<bool> ended_;
  std::vector<std::string> pending_;
  // The page each shard is sending, until its record comes.
  std::vector<PageResult> sending_;
  // By line, in the order each shard sent them (a line gives several pages when links are
  // followed; one site's pages all come from one shard).
  std::multimap<int, PageResult> held_;
  int total_ = 0;
  int abandoned_ = 0;
  int early_ = 0;
  bool writeFailed_ = false;
  ProgressLine progress_{"page"};
};

}  // namespace tolvarine::cli
