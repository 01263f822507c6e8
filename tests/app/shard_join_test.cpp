// The parent of a --jobs run joins its shards' records as one walk would write them.
#include "app/cli/shard_join.h"

#include "app/cli/page_log_output.h"

#include <gtest/gtest.h>

#include "tests/support/temp_folder.h"

namespace tolvarine::cli {
namespace {

using tolvarine::testing::TempFolder;

std::string Row(const std::string& value, const std::string& page, int line) {
  return EncodeRow(ResultKind::Phone, value, RowSource{page, 0}, line);
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

TEST_F(ShardJoinTest, ANumberFoundTwiceKeepsThePageOfTheEarlierLineWhicheverShardSendsItFirst) {
  const HarvestPlan plan = Plan(true);
  HarvestOutput output(plan);
  output.Open();
  PageLogOutput log(plan);
  ShardJoin join(plan, output, log, 4);
  // Shard 1 reaches line 2 and finds the number before the slower shard 0 harvests line 1.
  join.Take(1, EncodePosition(2) + Row("13800000000", "http://b/", 2));
  join.Take(1, EncodePosition(4));
  EXPECT_EQ(dir.Read("phones.csv"), "value,page,time\r\n");  // held: line 1 may still give it
  // Split mid-line, as a pipe may deliver it.
  const std::string rest = EncodePosition(1) + Row("13800000000", "http://a/", 1);
  join.Take(0, rest.substr(0, 7));
  join.Take(0, rest.substr(7) + EncodePosition(3));
  EXPECT_EQ(dir.Read("phones.csv"), "value,page,time\r\n13800000000,http://a/,\r\n");
  join.Take(0, Row("13800000000", "http://c/", 3) + EncodeEnd(0, 0));
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
  ShardJoin join(plan, output, log, 2);
  join.Take(1, EncodePosition(2) + Row("13800000000", "http://b/", 2));
  join.Take(0, EncodePosition(1) + Row("13800000000", "http://a/", 1));
  // A link holding a tab and a line end comes through whole.
  join.Take(0, EncodeRow(ResultKind::Link, "http://a/\tx\ny\\", RowSource{"p", 0}, 1));
  EXPECT_EQ(dir.Read("phones.csv"),
            "value,page,time\r\n13800000000,http://b/,\r\n13800000000,http://a/,\r\n");
  EXPECT_EQ(dir.Read("links.csv"), "\"http://a/\tx\ny\\\",p,\r\n");
}

}  // namespace
}  // namespace tolvarine::cli
