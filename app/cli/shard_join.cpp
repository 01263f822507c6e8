#include "app/cli/shard_join.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "app/cli/command_io.h"

namespace tolvarine::cli {

ShardJoin::ShardJoin(const HarvestPlan& plan, HarvestOutput& output, PageLogOutput& pageLog,
                     const std::vector<int>& lineShards, ShardJournal* journal, Answer answer)
    : plan_(plan),
      output_(output),
      pageLog_(pageLog),
      journal_(journal),
      answer_(std::move(answer)),
      pipeline_(output.Numbers()),
      rules_{plan.validOnly, plan.dedup, plan.enrich},
      shardLines_(static_cast<std::size_t>(std::max(plan.jobs, 1))),
      positions_(shardLines_.size(), 0),
      pages_(positions_.size(), 0),
      queued_(positions_.size(), 0),
      ended_(positions_.size(), false),
      pending_(positions_.size()),
      sending_(positions_.size()),
      total_(static_cast<int>(lineShards.size())) {
  for (int line = 1; line <= total_; ++line)
    shardLines_[static_cast<std::size_t>(lineShards[static_cast<std::size_t>(line - 1)])]
        .push_back(line);
  pipeline_.AddSink(this);
}

void ShardJoin::Replay(const std::vector<std::string>& messages) {
  // A journal keeps each page's rows together, before its record.
  PageResult page;
  for (const std::string& text : messages) {
    std::string_view line = text;
    if (line.ends_with('\n')) line.remove_suffix(1);
    const auto message = DecodeShardMessage(line);
    if (!message) continue;
    if (message->type == ShardMessage::Type::Row) {
      AddRow(page, *message);
    } else if (message->type == ShardMessage::Type::Page) {
      page.record = message->page;
      EndPage(std::exchange(page, PageResult{}), false);
    }
  }
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
      AddRow(sending_[k], message);
      break;
    case ShardMessage::Type::Page:
      sending_[k].record = message.page;
      EndPage(std::exchange(sending_[k], PageResult{}), true);
      break;
    case ShardMessage::Type::Position:
      positions_[k] = message.number;
      pages_[k] = message.pages;
      queued_[k] = message.queued;
      Release(SafeLine());
      ShowProgress();
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

void ShardJoin::AddRow(PageResult& page, const ShardMessage& row) const {
  page.source = row.source;
  page.source.foundIn = FoundIn::Unrecorded;
  if (row.kind == ResultKind::Link) {
    page.links.push_back(row.value);
    return;
  }
  page.phones.push_back(row.value);
  // Parallel to the numbers with structured data on, as one walk's page has it.
  if (plan_.structured) page.phonesFoundIn.push_back(row.source.foundIn);
}

// Without dedup no page depends on another: each goes through as it comes. With dedup it
// waits for its line's turn.
void ShardJoin::EndPage(PageResult page, bool keep) {
  if (!plan_.dedup) {
    pipeline_.Run(page, rules_);
    return;
  }
  const int line = page.record.line;
  if (keep && journal_) {
    std::string kept;
    for (const std::string& link : page.links)
      kept += EncodeRow(ResultKind::Link, link, page.source, line);
    for (std::size_t i = 0; i < page.phones.size(); ++i)
      kept += EncodeRow(ResultKind::Phone, page.phones[i], NumberSource(page, i), line);
    journal_->Keep(kept + EncodePage(page.record));
  }
  held_.emplace(line, std::move(page));
  Release(SafeLine());
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
  bool released = false;
  while (!held_.empty() && held_.begin()->first < belowLine) {
    pipeline_.Run(held_.begin()->second, rules_);
    held_.erase(held_.begin());
    released = true;
  }
  // Written, they leave the journal; a failed write leaves them in it.
  if (journal_ && !writeFailed_ && released) {
    journal_->Released(belowLine);
    journal_->Flush();
  }
}

void ShardJoin::OnPage(const PageResult& page) {
  if (page.record.outcome == PageOutcome::Limit)
    PrintMessage(LineCutMessage(page.record, plan_.follow.maxPagesPerLine));
  if (!output_.WriteRows(page)) writeFailed_ = true;
  pageLog_.OnPage(page.record);
}

// List lines read so far over all shards (the progress line counts them as pages, though a
// line gives several when links are followed): the lines of each shard up to its position.
void ShardJoin::ShowProgress() {
  int done = 0;
  for (std::size_t k = 0; k < positions_.size(); ++k) {
    const std::vector<int>& lines = shardLines_[k];
    done += static_cast<int>(std::upper_bound(lines.begin(), lines.end(), positions_[k]) -
                             lines.begin());
  }
  if (plan_.follow.depth > 0) {
    CrawlCounts counts{done, total_, 0, 0, output_.Written(ResultKind::Phone)};
    for (std::size_t k = 0; k < positions_.size(); ++k) {
      counts.pages += pages_[k];
      counts.queued += queued_[k];
    }
    ShowCrawlProgress(progress_, counts);
    return;
  }
  ShowPageProgress(progress_, done, total_, output_.Written(ResultKind::Link),
                   output_.Written(ResultKind::Phone));
}

}  // namespace tolvarine::cli
