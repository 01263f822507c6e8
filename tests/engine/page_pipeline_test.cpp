// Every page's rows go through one chain: valid only, then dedup, then the counts, then the
// sinks.
#include "engine/page_pipeline.h"

#include <gtest/gtest.h>

namespace tolvarine {
namespace {

using Rows = std::vector<std::string>;

// Numbers starting "139" are valid, in 北京; others are not.
class Places : public NumberInfo {
 public:
  const NumberPlace& Look(std::string_view number) const override {
    return number.starts_with("139") ? beijing_ : invalid_;
  }

 private:
  NumberPlace beijing_{"北京", "北京", "移动", true};
  NumberPlace invalid_;
};

class Kept : public PageResultSink {
 public:
  void OnPage(const PageResult& page) override { pages.push_back(page); }
  std::vector<PageResult> pages;
};

PageResult Page(int line, Rows phones, Rows links = {}) {
  PageResult page;
  page.record.line = line;
  page.phones = std::move(phones);
  page.links = std::move(links);
  return page;
}

TEST(PagePipelineTest, InvalidNumbersGoFirstThenRepeatsAndTheRecordCountsWhatIsLeft) {
  Places places;
  PagePipeline pipeline(&places);
  Kept kept;
  pipeline.AddSink(&kept);
  const RowRules rules{true, true, true};
  PageResult first = Page(1, {"13900000001", "18600000000", "13900000001"}, {"http://a/"});
  pipeline.Run(first, rules);
  PageResult second = Page(2, {"18600000000", "13900000001", "13900000002"});
  pipeline.Run(second, rules);

  ASSERT_EQ(kept.pages.size(), 2u);
  EXPECT_EQ(kept.pages[0].phones, Rows{"13900000001"});
  EXPECT_EQ(kept.pages[0].record.phonesNew, 1);
  EXPECT_EQ(kept.pages[0].record.linksNew, 1);
  EXPECT_EQ(kept.pages[0].record.provinces.at("北京"), 1);
  EXPECT_EQ(kept.pages[1].phones, Rows{"13900000002"});
  EXPECT_EQ(kept.pages[1].record.phonesNew, 1);
  // An invalid number is counted once with dedup, however often it comes.
  EXPECT_EQ(pipeline.Dropped(), 1);

  // Without dedup every occurrence counts and repeats stay; a new walk forgets the last.
  pipeline.Begin();
  PageResult third = Page(1, {"18600000000", "18600000000", "13900000001", "13900000001"});
  pipeline.Run(third, {true, false, false});
  EXPECT_EQ(kept.pages[2].phones, (Rows{"13900000001", "13900000001"}));
  EXPECT_FALSE(kept.pages[2].record.places);
  EXPECT_EQ(pipeline.Dropped(), 2);
}

TEST(PagePipelineTest, RowsAContinuedOutputHoldsAreLeftOutWithDedupOnly) {
  PagePipeline pipeline;
  Kept kept;
  pipeline.AddSink(&kept);
  pipeline.HeldNumber("13900000001");
  pipeline.HeldLink("http://a/");
  pipeline.Begin();  // held rows outlive the start of the walk
  PageResult page = Page(1, {"13900000001", "13900000002"}, {"http://a/", "http://b/"});
  PageResult copy = page;
  pipeline.Run(page, {false, true, false});
  EXPECT_EQ(kept.pages[0].phones, Rows{"13900000002"});
  EXPECT_EQ(kept.pages[0].links, Rows{"http://b/"});
  pipeline.Run(copy, {false, false, false});
  EXPECT_EQ(kept.pages[1].phones.size(), 2u);
  EXPECT_EQ(kept.pages[1].links.size(), 2u);
}

TEST(PagePipelineTest, HowEachNumberWasFoundStaysWithItThroughValidOnlyAndDedup) {
  Places places;
  PagePipeline pipeline(&places);
  Kept kept;
  pipeline.AddSink(&kept);
  PageResult page = Page(1, {"18600000000", "13900000001", "13900000001", "13900000002"});
  page.phonesFoundIn = {FoundIn::Text, FoundIn::Tel, FoundIn::Markup, FoundIn::Structured};
  pipeline.Run(page, {true, true, false});
  EXPECT_EQ(kept.pages[0].phones, (Rows{"13900000001", "13900000002"}));
  EXPECT_EQ(kept.pages[0].phonesFoundIn, (std::vector<FoundIn>{FoundIn::Tel, FoundIn::Structured}));
}

}  // namespace
}  // namespace tolvarine
