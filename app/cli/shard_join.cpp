#include "app/cli/shard_join.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <utility>

namespace tolvarine::cli {

ShardJoin::ShardJoin(const HarvestPlan& plan, HarvestOutput& output, PageLogOutput& pageLog,
                     const std::vector<int>& lineShards, ShardJournal* journal, Answer answer)
    : plan_(plan),
      output_(output),
      pageLog_(pageLog),
      journal_(journal),
      answer_(std::move(answer)),
      shardLines_(static_cast<std::size_t>(std::max(plan.jobs, 1))),
      positions_(shardLines_.size(), 0),
      ended_(positions_.size(), false),
      pending_(positions_.size()),
      total_(static_cast<int>(lineShards.size())) {
  for (int line = 1; line <= total_; ++line)
    shardLines_[static_cast<std::size_t>(lineShards[static_cast<std::size_t>(line - 1)])]
        .push_back(line);
}

void ShardJoin::Replay(const std::vector<std::string>& messages) {
  ShardJournal* journal = std::exchange(journal_, nullptr);  // kept there already
  for (const std::string& text : messages) {
    std::string_view line = text;
    if (line.ends_with('\n')) line.remove_suffix(1);
    const auto message = DecodeShardMessage(line);
    if (!message) continue;
    if (message->type == ShardMessage::Type::Page) {
      HoldPage(message->page);
    } else if (message->type == ShardMessage::Type::Row) {
      Hold(*message);
    }
  }
  journal_ = journal;
}

void ShardJoin::Take(std::size_t k, std::string_view bytes) {
  std::string& pending = pending_[k];
  pending.append(bytes);
  std::size_t begin = 0;
  for (std::size_t end; (end = pending.find('\n', begin)) != std::string::npos;
       begin = end + 1) {
    if (auto message = DecodeShardMessage(std::string_view(pending).substr(begin, end - begin)))
      Apply(k, *message);
  }
  pending.erase(0, begin);
}

void ShardJoin::Finish() {
  Release(INT_MAX);
  // Everything is written: the journal keeps nothing (written in part, it keeps it all).
  if (journal_ && !writeFailed_) journal_->Clear();
  progress_.Finish();
}

void ShardJoin::Apply(std::size_t k, const ShardMessage& message) {
  switch (message.type) {
    case ShardMessage::Type::Row:
      if (message.kind == ResultKind::Phone && plan_.dedup) {
        Hold(message);
      } else {
        Write(message.kind, message.value, message.source, message.line);
      }
      break;
    case ShardMessage::Type::Position:
      positions_[k] = message.number;
      Release(SafeLine());
      ShowProgress();
      break;
    case ShardMessage::Type::Page:
      if (plan_.dedup && plan_.phones) {
        HoldPage(message.page);
        Release(SafeLine());
      } else {
        LogPage(message.page);
      }
      break;
    case ShardMessage::Type::End:
      ended_[k] = true;
      abandoned_ += message.number;
      early_ += message.other;
      Release(SafeLine());
      break;
    case ShardMessage::Type::Sync:
      AnswerSync(k);
      break;
  }
}

void ShardJoin::Hold(const ShardMessage& message) {
  if (written_.contains(message.value)) return;
  if (journal_) journal_->Keep(EncodeRow(message.kind, message.value, message.source, message.line));
  auto [it, added] = held_.try_emplace(message.value, Held{message.line, message.source});
  if (!added && message.line < it->second.line) it->second = {message.line, message.source};
}

void ShardJoin::HoldPage(const PageRecord& page) {
  if (journal_) journal_->Keep(EncodePage(page));
  heldPages_.emplace(page.line, page);
}

// The shard's rows and page records before the sync are written (each flushed as it is) or
// held; the held ones must reach the journal's file before the shard saves its pages as done.
// Once anything failed to be written (a row, the page log, the journal), every answer is no.
void ShardJoin::AnswerSync(std::size_t k) {
  if (pageLog_.Failed() || (journal_ && !journal_->Flush())) writeFailed_ = true;
  if (answer_) answer_(k, !writeFailed_);
}

// Lines before the least position of the running shards are done in every shard: no shard
// can still find a number on them.
int ShardJoin::SafeLine() const {
  int least = INT_MAX;
  for (std::size_t k = 0; k < positions_.size(); ++k) {
    if (!ended_[k]) least = std::min(least, positions_[k]);
  }
  return least;
}

void ShardJoin::Release(int belowLine) {
  const std::size_t heldBefore = held_.size() + heldPages_.size();
  ReleaseHeld(belowLine);
  // Written, they leave the journal; a failed write leaves them in it.
  if (journal_ && !writeFailed_ && held_.size() + heldPages_.size() < heldBefore) {
    journal_->Released(belowLine);
    journal_->Flush();
  }
}

void ShardJoin::ReleaseHeld(int belowLine) {
  std::vector<std::pair<int, std::string>> due;
  for (const auto& [value, held] : held_) {
    if (held.line < belowLine) due.emplace_back(held.line, value);
  }
  std::sort(due.begin(), due.end());
  for (const auto& [line, value] : due) {
    auto it = held_.find(value);
    Write(ResultKind::Phone, value, it->second.source, line);
    written_.insert(value);
    held_.erase(it);
  }
  while (!heldPages_.empty() && heldPages_.begin()->first < belowLine) {
    LogPage(std::move(heldPages_.begin()->second));
    heldPages_.erase(heldPages_.begin());
  }
}

// A page's record with the numbers the parent wrote for it: their count, and with --enrich
// their places (the shards have no number data to count them by).
void ShardJoin::LogPage(PageRecord page) {
  const auto count = newOnPage_.find({page.line, page.final});
  PageRecord counted;
  if (count != newOnPage_.end()) {
    counted = std::move(count->second);
    newOnPage_.erase(count);
  }
  page.phonesNew = counted.phonesNew;
  page.places = Places() != nullptr;
  page.provinces = std::move(counted.provinces);
  page.carriers = std::move(counted.carriers);
  pageLog_.OnPage(page);
}

void ShardJoin::Write(ResultKind kind, const std::string& value, const RowSource& source,
                      int line) {
  if (!output_.Write(kind, value, source)) writeFailed_ = true;
  // Counted for the page records only when the shards send them.
  if (kind != ResultKind::Phone || !(plan_.pageLog || plan_.report)) return;
  PageRecord& counts = newOnPage_[{line, source.page}];
  ++counts.phonesNew;
  if (const NumberInfo* places = Places()) CountPlace(places->Look(value), counts);
}

const NumberInfo* ShardJoin::Places() const { return plan_.enrich ? output_.Numbers() : nullptr; }

// List lines read so far over all shards (the progress line counts them as pages, though a
// line gives several when links are followed): the lines of each shard up to its position.
void ShardJoin::ShowProgress() {
  int done = 0;
  for (std::size_t k = 0; k < positions_.size(); ++k) {
    const std::vector<int>& lines = shardLines_[k];
    done += static_cast<int>(std::upper_bound(lines.begin(), lines.end(), positions_[k]) -
                             lines.begin());
  }
  ShowPageProgress(progress_, done, total_, output_.Written(ResultKind::Link),
                   output_.Written(ResultKind::Phone));
}

}  // namespace tolvarine::cli
