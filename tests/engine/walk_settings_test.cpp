// Rule lists given on the command line as comma-separated items.
#include <gtest/gtest.h>

#include "base/gbk.h"
#include "engine/crawl_settings.h"
#include "engine/phone_extractor.h"

namespace tolvarine {
namespace {

TEST(CommaList, EachItemBecomesOneGbkLineOfTheField) {
  EXPECT_EQ(RuleTextFromCommaList("http://,网站,#"),
            "http://\r\n" + Utf8ToGbk("网站") + "\r\n#");
  EXPECT_EQ(RuleTextFromCommaList("13"), "13");
  // The prefix field reads such a text back item by item, skipping the empty ones.
  EXPECT_EQ(PrefixesFromText(RuleTextFromCommaList("13,,17,")),
            (std::vector<std::string>{"13", "17"}));
}

}  // namespace
}  // namespace tolvarine
