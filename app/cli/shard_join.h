#pragma once
// The records of a --jobs run's shards joined into one output, as one walk would write it.
// With --dedup a number is written once, with the page of the list line where one walk
// would have found it first: a number is held until every shard has read past its line (or
// ended), so that an earlier line in a slower shard still wins. Page records are held as
// long, so that the numbers new on a page are counted as one walk counts them. What is held
// is kept in a journal, so that a shard's sync (before it saves pages as done) is answered
// only once everything it sent is written or kept.
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "app/cli/harvest_output.h"
#include "app/cli/page_log_output.h"
#include "app/cli/progress_line.h"
#include "app/cli/shard_journal.h"
#include "app/cli/shard_records.h"

namespace tolvarine::cli {

class ShardJoin {
 public:
  // How a shard's sync is answered: true when everything it sent is written or kept.
  using Answer = std::function<void(std::size_t shard, bool held)>;
  // lineShards: the shard of each line of the list, for the progress display.
  // pageLog: where the shards' page records go (may be inactive).
  // journal: where held messages are kept (none: they are not).
  ShardJoin(const HarvestPlan& plan, HarvestOutput& output, PageLogOutput& pageLog,
            const std::vector<int>& lineShards, ShardJournal* journal = nullptr,
            Answer answer = {});

  // Messages a journal still held from a run that was killed: held again, before any shard
  // sends.
  void Replay(const std::vector<std::string>& messages);
  // Bytes from shard k's pipe: whole lines are messages, the rest waits for more.
  void Take(std::size_t k, std::string_view bytes);
  // Every shard has ended: the numbers still held are written.
  void Finish();

  int Abandoned() const { return abandoned_; }
  int Early() const { return early_; }
  bool WriteFailed() const { return writeFailed_; }

 private:
  struct Held {
    int line;
    RowSource source;
  };
  void Apply(std::size_t k, const ShardMessage& message);
  void Hold(const ShardMessage& message);
  void HoldPage(const PageRecord& page);
  void AnswerSync(std::size_t k);
  // Writes the held numbers whose line every running shard has read past.
  void Release(int belowLine);
  void ReleaseHeld(int belowLine);
  int SafeLine() const;
  void ShowProgress();
  // Writes a row; a number is counted for its page's record.
  void Write(ResultKind kind, const std::string& value, const RowSource& source, int line);
  void LogPage(PageRecord page);
  // Where numbers belong, with --enrich; none otherwise.
  const NumberInfo* Places() const;

  const HarvestPlan& plan_;
  HarvestOutput& output_;
  PageLogOutput& pageLog_;
  ShardJournal* journal_;
  Answer answer_;
  // Each shard's lines, in order, for the progress.
  std::vector<std::vector<int>> shardLines_;
  std::vector<int> positions_;
  std::vector<bool> ended_;
  std::vector<std::string> pending_;
  std::map<std::string, Held> held_;
  std::unordered_set<std::string> written_;  // numbers given their page already
  // By line, in the order each shard sent them (a line gives several pages when links are
  // followed; one site's pages all come from one shard).
  std::multimap<int, PageRecord> heldPages_;
  // Numbers written, by line and page (with --dedup, each number on its first page only):
  // their count and places, until the page's record is logged.
  std::map<std::pair<int, std::string>, PageRecord> newOnPage_;
  int total_ = 0;
  int abandoned_ = 0;
  int early_ = 0;
  bool writeFailed_ = false;
  ProgressLine progress_{"page"};
};

}  // namespace tolvarine::cli
