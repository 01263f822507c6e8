// The harvest command's flags: read by its table, and handed from a --jobs run to its shards.
#include <gtest/gtest.h>

#include "app/cli/arg_parser.h"
#include "app/cli/harvest_flags.h"
#include "app/cli/harvest_plan.h"

namespace tolvarine::cli {
namespace {

// What a walk does, as a shard must do it too.
auto WalkSettings(const HarvestPlan& p) {
  return std::tuple(p.listPath, p.links, p.phones, p.dedup, p.filter, p.onlySite, p.https,
                    p.formatted, p.noOnlineCheck, p.continuing, p.verbose, p.follow.depth,
                    p.follow.scope, p.follow.maxPagesPerLine, p.follow.ignoreRobots,
                    p.prefixes, p.mustContain, p.mustNotContain, p.speed, p.intervalMs,
                    p.stateFolder, p.follow.sitemaps, p.retries, BlockListText(p.block),
                    p.scroll, p.clickMore, p.clickTexts, p.structured);
}

TEST(ShardArguments, EveryWalkSettingReachesTheShard) {
  const std::vector<std::vector<std::string>> runs = {
      {"urls.txt", "--phones", "--jobs", "3", "--state", "/s/"},
      {"urls.txt", "--links", "--phones", "--dedup", "--filter", "--only-site", "--https",
       "--formatted", "--no-online-check", "--continue", "--verbose", "--depth", "2", "--scope",
       "host", "--max-pages", "7", "--ignore-robots", "--prefixes", "13,15", "--must", "a",
       "--must-not", "b", "--speed", "5", "--jobs", "4", "--state", "/s/", "--page-log", "p.csv",
       "--phones-out", "x.txt", "--format", "csv", "--enrich", "--valid-only", "--sitemaps",
       "--retries", "0", "--block", "media,images", "--scroll", "100", "--structured",
       "--click-text", "\xE6\x9F\xA5\xE7\x9C\x8B, more"},
      {"urls.txt", "--links", "--interval-ms", "30", "--jobs", "2", "--state", "/s/",
       "--report", "r.html", "--retries", "10", "--block", "fonts", "--click-more"},
  };
  for (const std::vector<std::string>& run : runs) {
    const HarvestPlan plan = ParseHarvestPlan(run);
    for (int k = 0; k < plan.jobs; ++k) {
      const HarvestPlan shard = ParseHarvestPlan(ShardArguments(plan, k));
      EXPECT_EQ(WalkSettings(shard), WalkSettings(plan)) << run[1];
      ASSERT_TRUE(shard.shard.has_value());
      EXPECT_EQ(shard.shard->index, k);
      EXPECT_EQ(shard.shard->count, plan.jobs);
      EXPECT_EQ(shard.jobs, 0);
      EXPECT_EQ(shard.recordsFd, 3);
      EXPECT_EQ(shard.ackFd, 4);
      // The outputs and the rows' form stay with the parent.
      EXPECT_FALSE(shard.phonesOut || shard.linksOut || shard.pageLog || shard.report);
      EXPECT_EQ(shard.format, RecordFormat::Plain);
    }
  }
}

TEST(HarvestPlan, NumbersOutsideTheirRangesAreRefused) {
  const std::vector<std::string> walk = {"urls.txt", "--phones", "--depth", "1"};
  for (const std::vector<std::string>& more :
       {std::vector<std::string>{"--max-pages", "0"}, {"--ack-fd", "1024"}, {"--ack-fd", "2"},
        {"--shard", "1/1"}, {"--shard", "+0/2"}}) {
    std::vector<std::string> args = walk;
    args.insert(args.end(), more.begin(), more.end());
    EXPECT_THROW(ParseHarvestPlan(args), UsageError) << more[0] << " " << more[1];
  }
  std::vector<std::string> args = walk;
  args.insert(args.end(), {"--max-pages", "1", "--ack-fd", "1023", "--shard", "1/2"});
  const HarvestPlan plan = ParseHarvestPlan(args);
  EXPECT_EQ(plan.follow.maxPagesPerLine, 1);
  EXPECT_EQ(plan.ackFd, 1023);
}

TEST(HarvestPlan, RetriesAndBlockedKindsAreCheckedAndNamedInTheMessage) {
  const std::vector<std::string> walk = {"urls.txt", "--phones"};
  const auto refusal = [&](std::vector<std::string> more) {
    std::vector<std::string> args = walk;
    args.insert(args.end(), more.begin(), more.end());
    try {
      ParseHarvestPlan(args);
    } catch (const UsageError& e) {
      return std::string(e.what());
    }
    return std::string("accepted");
  };
  for (const std::vector<std::string>& wrong :
       {std::vector<std::string>{"--retries", "11"}, {"--retries", "-1"}, {"--retries", "two"},
        {"--block", ""}, {"--block", "images,"}, {"--block", "video"}, {"--block", "Images"},
        {"--sitemaps"}}) {
    EXPECT_NE(refusal(wrong).find(wrong[0]), std::string::npos) << wrong[0] << " " << refusal(wrong);
  }
  HarvestPlan plan = ParseHarvestPlan(walk);
  EXPECT_EQ(plan.retries, 2);
  EXPECT_EQ(BlockListText(plan.block), "");
  std::vector<std::string> args = walk;
  args.insert(args.end(), {"--retries", "0", "--block", "media,images,media"});
  plan = ParseHarvestPlan(args);
  EXPECT_EQ(plan.retries, 0);
  EXPECT_TRUE(plan.block.images && plan.block.media && !plan.block.fonts);
}

TEST(HarvestPlan, RevealAndStructuredFlagsAreCheckedAndClickTextsKeptAsGbk) {
  const std::vector<std::string> walk = {"urls.txt", "--phones"};
  const auto with = [&](std::vector<std::string> more) {
    std::vector<std::string> args = walk;
    args.insert(args.end(), more.begin(), more.end());
    return args;
  };
  for (const std::vector<std::string>& wrong :
       {std::vector<std::string>{"--scroll", "101"}, {"--scroll", "-1"}, {"--scroll", "x"},
        {"--click-text", ""}, {"--click-text", "a,,b"}, {"--click-text", " ,a"},
        {"--click-text", "\xE2\x82\xAC\xF0\x9F\x98\x80"}, {"--click-text", "\xFF"}}) {
    try {
      ParseHarvestPlan(with(wrong));
      ADD_FAILURE() << wrong[0] << " " << wrong[1] << " accepted";
    } catch (const UsageError& e) {
      EXPECT_NE(std::string(e.what()).find(wrong[0]), std::string::npos) << e.what();
    }
  }
  HarvestPlan plan = ParseHarvestPlan(walk);
  EXPECT_EQ(std::tuple(plan.scroll, plan.clickMore, plan.clickTexts.size(), plan.structured),
            std::tuple(0, false, 0u, false));
  // "查看电话" and "展开" in UTF-8 become GBK; spaces around a text are not part of it.
  plan = ParseHarvestPlan(with({"--scroll", "0", "--click-text",
                                "\xE6\x9F\xA5\xE7\x9C\x8B\xE7\x94\xB5\xE8\xAF\x9D, "
                                "\xE5\xB1\x95\xE5\xBC\x80 ,more info",
                                "--structured"}));
  EXPECT_EQ(plan.scroll, 0);
  EXPECT_TRUE(plan.clickMore);  // implied
  EXPECT_TRUE(plan.structured);
  EXPECT_EQ(plan.clickTexts, (std::vector<std::string>{"\xB2\xE9\xBF\xB4\xB5\xE7\xBB\xB0",
                                                       "\xD5\xB9\xBF\xAA", "more info"}));
  plan = ParseHarvestPlan(with({"--scroll", "100", "--click-more"}));
  EXPECT_EQ(plan.scroll, 100);
  EXPECT_TRUE(plan.clickMore);
  EXPECT_TRUE(plan.clickTexts.empty());
}

TEST(CommandFlags, ValuesSwitchesAndFaults) {
  const CommandTable command{"x", "", {{"-o", FlagKind::Value}, {"--on", FlagKind::Switch}}};
  const ParsedArgs parsed = command.Parse({"a", "-o=v", "--on", "--", "--on"});
  EXPECT_EQ(parsed.Value("-o"), "v");
  EXPECT_TRUE(parsed.Has("--on"));
  EXPECT_EQ(parsed.Positional(), (std::vector<std::string>{"a", "--on"}));
  EXPECT_EQ(command.Parse({"-o", "-"}).Value("-o"), "-");
  for (const std::vector<std::string>& wrong :
       {std::vector<std::string>{"--off"}, {"--on=1"}, {"-o"}, {"--help=1"}}) {
    EXPECT_THROW(command.Parse(wrong), UsageError) << wrong[0];
    std::vector<std::string> withHelp = wrong;
    withHelp.insert(withHelp.begin(), "--help");
    EXPECT_TRUE(command.Parse(withHelp).HelpAsked()) << wrong[0];
  }
  // A number is whole decimal digits within its range.
  const CommandTable numbers{"x", "", {{"-n", FlagKind::Value}}};
  EXPECT_THROW(numbers.Parse({"-n", "+3"}).Number("-n", 1, 9), UsageError);
  EXPECT_THROW(numbers.Parse({"-n", "10"}).Number("-n", 1, 9), UsageError);
  EXPECT_EQ(numbers.Parse({"-n=9"}).Number("-n", 1, 9), 9);
}

}  // namespace
}  // namespace tolvarine::cli
