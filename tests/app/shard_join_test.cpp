// The parent of a --jobs run joins its shards' records as one walk would write them.
#include "app/cli/shard_join.h"

#include "app/cli/page_log_output.h"

#include <gtest/gtest.h>

#include "base/atomic_file.h"
#include "tests/support/temp_folder.h"

namespace tolvarine::cli {
namespace {

using tolvarine::testing::TempFolder;

std::string Row(const std::string& value, const std::string& page, int line) {
  return EncodeRow(ResultKind::Phone, value, RowSource{page, 0}, line);
}

// The lines of a file the join wrote (CR LF line ends).
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t begin = 0, end; (end = text.find("\r\n", begin)) != std::string::npos;
       begin = end + 2)
    lines.push_back(text.substr(begin, end - begin));
  return lines;
}

std::string Page(int line, const std::string& page) {
  PageRecord record;
  record.line = line;
  record.listed = record.final = page;
  return EncodePage(record);
}

// Lines dealt to two shards in turn.
std::vector<int> InTurn(int lines) {
  std::vector<int> shards;
  for (int i = 0; i < lines; ++i) shards.push_back(i % 2);
  return shards;
}

class ShardJoinTest : public ::testing::Test {
 protected:
  HarvestPlan Plan(bool dedup) {
    HarvestPlan plan;
    plan.phones = true;
    plan.dedup = dedup;
    plan.jobs = 2;
    plan.format = RecordFormat::Csv;
    plan.phonesOut = dir.PathOf("phones.csv");
    plan.linksOut = dir.PathOf("links.csv");
    return plan;
  }
  TempFolder dir;
};

// A crawl's progress adds up its shards' pages and queues; a line cut by the limit is told
// once, as its record comes.
TEST_F(ShardJoinTest, ACrawlsProgressAddsUpItsShardsAndTellsALineCut) {
  HarvestPlan plan = Plan(false);
  plan.follow.depth = 2;
  plan.follow.maxPagesPerLine = 3;
  HarvestOutput output(plan);
  output.Open();
  PageLogOutput log(plan);
  ShardJoin join(plan, output, log, InTurn(4));
  PageRecord cut;
  cut.line = 1;
  cut.listed = "http://a/";
  cut.outcome = PageOutcome::Limit;
  cut.linksAll = 6;
  ::testing::internal::CaptureStderr();
  join.Take(0, EncodePosition(1, 4, 10) + Row("13800000000", "http://a/x", 1) + Page(1, "http://a/x"));
  join.Take(1, EncodePosition(2, 3, 5) + EncodePage(cut) + EncodePosition(4, 5, 0));
  join.Finish();
  const std::string said = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("line 2/4  pages 7  queued 15  phones 1\n"), std::string::npos) << said;
  EXPECT_NE(said.find("line 3/4  pages 9  queued 10  phones 1\n"), std::string::npos) << said;
  const std::string told = "line 1: page limit of 3 reached, 6 links not walked\n";
  EXPECT_NE(said.find(told), std::string::npos) << said;
  EXPECT_EQ(said.find(told), said.rfind(told));
}

TEST_F(ShardJoinTest, ANumberFoundTwiceKeepsThePageOfTheEarlierLineWhicheverShardSendsItFirst) {
  const HarvestPlan plan = Plan(true);
  HarvestOutput output(plan);
  output.Open();
  PageLogOutput log(plan);
  ShardJoin join(plan, output, log, InTurn(4));
  // Shard 1 reaches line 2 and finds the number before the slower shard 0 harvests line 1.
  join.Take(1, EncodePosition(2) + Row("13800000000", "http://b/", 2) + Page(2, "http://b/"));
  join.Take(1, EncodePosition(4));
  EXPECT_EQ(dir.Read("phones.csv"), "value,page,time\r\n");  // held: line 1 may still give it
  // Split mid-line, as a pipe may deliver it.
  const std::string rest =
      EncodePosition(1) + Row("13800000000", "http://a/", 1) + Page(1, "http://a/");
  join.Take(0, rest.substr(0, 7));
  join.Take(0, rest.substr(7) + EncodePosition(3));
  EXPECT_EQ(dir.Read("phones.csv"), "value,page,time\r\n13800000000,http://a/,\r\n");
  join.Take(0, Row("13800000000", "http://c/", 3) + Page(3, "http://c/") + EncodeEnd(0, 0));
  join.Take(1, EncodeEnd(1, 0));
  join.Finish();
  EXPECT_EQ(dir.Read("phones.csv"), "value,page,time\r\n13800000000,http://a/,\r\n");
  EXPECT_EQ(join.Abandoned(), 1);
}

TEST_F(ShardJoinTest, WithoutDedupEveryRowIsWrittenAsItComes) {
  const HarvestPlan plan = Plan(false);
  HarvestOutput output(plan);
  output.Open();
  PageLogOutput log(plan);
  ShardJoin join(plan, output, log, InTurn(2));
  join.Take(1, EncodePosition(2) + Row("13800000000", "http://b/", 2) + Page(2, "http://b/"));
  join.Take(0, EncodePosition(1) + Row("13800000000", "http://a/", 1) + Page(1, "http://a/"));
  // A link holding a tab and a line end comes through whole.
  join.Take(0, EncodeRow(ResultKind::Link, "http://a/\tx\ny\\", RowSource{"p", 0}, 1) +
                   Page(1, "p"));
  EXPECT_EQ(dir.Read("phones.csv"),
            "value,page,time\r\n13800000000,http://b/,\r\n13800000000,http://a/,\r\n");
  EXPECT_EQ(dir.Read("links.csv"), "\"http://a/\tx\ny\\\",p,\r\n");
}

// A number's way of finding travels last in its row, only when recorded: other rows, and
// rows of the older form, are read as before.
TEST(ShardRecords, ARowCarriesHowItsNumberWasFound) {
  const std::string older = "P\t13800000000\thttp://a/\t7\t3\t-1\n";
  EXPECT_EQ(EncodeRow(ResultKind::Phone, "13800000000", RowSource{"http://a/", 7}, 3), older);
  const auto decoded = DecodeShardMessage(std::string_view(older).substr(0, older.size() - 1));
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->source, (RowSource{"http://a/", 7}));
  for (FoundIn foundIn : {FoundIn::Text, FoundIn::Markup, FoundIn::Tel, FoundIn::Structured}) {
    std::string row = EncodeRow(ResultKind::Phone, "13800000000", RowSource{"p", 1, 2, foundIn}, 3);
    row.pop_back();
    const auto message = DecodeShardMessage(row);
    ASSERT_TRUE(message) << row;
    EXPECT_EQ(message->source, (RowSource{"p", 1, 2, foundIn}));
    EXPECT_EQ(message->line, 3);
  }
  // A name this copy does not know keeps the row; more fields are no row.
  const auto unknown = DecodeShardMessage("P\t1\tp\t0\t1\t-1\tsomewhere");
  ASSERT_TRUE(unknown);
  EXPECT_EQ(unknown->source.foundIn, FoundIn::Unrecorded);
  EXPECT_FALSE(DecodeShardMessage("P\t1\tp\t0\t1\t-1\ttel\tx"));
  EXPECT_FALSE(DecodeShardMessage("E\t1\tx"));
}

// A page log of a walk that scrolls or clicks names the reveal columns; others do not.
TEST_F(ShardJoinTest, APageLogOfAWalkThatRevealsNamesItsColumns) {
  for (const auto& [scroll, clickMore] : {std::pair{0, false}, {3, false}, {0, true}}) {
    HarvestPlan plan = Plan(false);
    plan.pageLog = dir.PathOf("pages.csv");
    plan.scroll = scroll;
    plan.clickMore = clickMore;
    PageLogOutput log(plan);
    log.Open();
    log.Close();
    EXPECT_EQ(dir.Read("pages.csv"), PageLogCsvHeader(false, scroll > 0 || clickMore) + "\r\n");
  }
}

TEST_F(ShardJoinTest, WithStructuredDataTheNumbersSayHowTheyWereFoundAsOneWalkWrites) {
  HarvestPlan plan = Plan(false);
  plan.structured = true;
  plan.links = true;
  HarvestOutput output(plan);
  output.Open();
  PageLogOutput log(plan);
  ShardJoin join(plan, output, log, InTurn(2));
  join.Take(0, EncodePosition(1) +
                   EncodeRow(ResultKind::Phone, "13800000000", {"http://a/", 0, -1, FoundIn::Tel}, 1) +
                   EncodeRow(ResultKind::Phone, "13800000001", {"http://a/", 0, -1, FoundIn::Text}, 1) +
                   EncodeRow(ResultKind::Link, "http://a/x", {"http://a/", 0}, 1) +
                   Row("13800000002", "http://a/", 1) + Page(1, "http://a/"));
  EXPECT_EQ(dir.Read("phones.csv"),
            "value,page,time,found_in\r\n13800000000,http://a/,,tel\r\n"
            "13800000001,http://a/,,text\r\n13800000002,http://a/,,\r\n");
  EXPECT_EQ(dir.Read("links.csv"), "value,page,time\r\nhttp://a/x,http://a/,\r\n");
}

// The parent is killed while it holds a number and a page record of a shard that has synced:
// the journal gives them back to the continued run, and what was written is not held again.
TEST_F(ShardJoinTest, WhatASyncedShardSentOutlivesAKilledParentInTheJournal) {
  HarvestPlan plan = Plan(true);
  plan.pageLog = dir.PathOf("pages.csv");
  const std::string journalPath = dir.PathOf("jobs.journal");
  std::vector<std::pair<std::size_t, bool>> answers;
  const auto answer = [&](std::size_t k, bool held) { answers.emplace_back(k, held); };
  {
    HarvestOutput output(plan);
    output.Open();
    PageLogOutput log(plan);
    log.Open();
    ShardJournal journal(journalPath);
    EXPECT_TRUE(journal.Open(false).empty());
    ShardJoin join(plan, output, log, InTurn(4), &journal, answer);
    join.Take(1, EncodePosition(2) + Row("13900000002", "http://b/", 2) + Page(2, "http://b/") +
                     EncodeSync());
    join.Take(0, EncodePosition(1) + Row("13900000001", "http://a/", 1) + Page(1, "http://a/") +
                     EncodePosition(3) + EncodeSync());
    EXPECT_EQ(answers, (std::vector<std::pair<std::size_t, bool>>{{1, true}, {0, true}}));
    // Killed here: line 1 is written, line 2 held.
  }
  EXPECT_EQ(Lines(dir.Read("phones.csv")).size(), 2u);
  // A message cut short by the kill is not one.
  dir.Write("jobs.journal", dir.Read("jobs.journal") + "P\t1390");
  plan.continuing = true;
  HarvestOutput output(plan);
  output.Open();
  PageLogOutput log(plan);
  log.Open();
  ShardJournal journal(journalPath);
  const std::vector<std::string> held = journal.Open(true);
  EXPECT_EQ(held, (std::vector<std::string>{Row("13900000002", "http://b/", 2), Page(2, "http://b/")}));
  ShardJoin join(plan, output, log, InTurn(4), &journal, answer);
  join.Replay(held);
  // Shard 1 saved line 2 as done, so it goes on after it: the number comes from the journal.
  join.Take(1, EncodePosition(4));
  EXPECT_EQ(Lines(dir.Read("phones.csv")).size(), 2u);  // shard 0 may still find it on line 1
  join.Take(0, EncodePosition(3) + EncodeEnd(0, 0));
  join.Take(1, EncodeEnd(0, 0));
  join.Finish();
  EXPECT_EQ(Lines(dir.Read("phones.csv")),
            (std::vector<std::string>{"value,page,time", "13900000001,http://a/,",
                                      "13900000002,http://b/,"}));
  const std::vector<std::string> pages = Lines(dir.Read("pages.csv"));
  ASSERT_EQ(pages.size(), 3u);
  EXPECT_TRUE(pages[1].starts_with("1,0,http://a/")) << pages[1];
  EXPECT_TRUE(pages[2].starts_with("2,0,http://b/")) << pages[2];
  EXPECT_FALSE(FileExists(journalPath));
}

TEST_F(ShardJoinTest, ASyncIsRefusedOnceARowCouldNotBeWritten) {
  HarvestPlan plan = Plan(false);
  plan.format = RecordFormat::Plain;  // no header to fail before the rows
  plan.phonesOut = "/dev/full";
  HarvestOutput output(plan);
  output.Open();
  PageLogOutput log(plan);
  std::vector<std::pair<std::size_t, bool>> answers;
  ShardJoin join(plan, output, log, InTurn(2), nullptr,
                 [&](std::size_t k, bool held) { answers.emplace_back(k, held); });
  join.Take(1, EncodeSync() + Row("13800000000", "http://b/", 2) + Page(2, "http://b/") +
                   EncodeSync());
  EXPECT_EQ(answers, (std::vector<std::pair<std::size_t, bool>>{{1, true}, {1, false}}));
  EXPECT_TRUE(join.WriteFailed());
}

}  // namespace
}  // namespace tolvarine::cli
