#include "engine/extra_options_file.h"

#include <gtest/gtest.h>

#include "base/atomic_file.h"
#include "tests/support/temp_folder.h"

namespace tolvarine {
namespace {

TEST(ExtraOptionsFileTest, MissingMeansOffAndUnknownLinesSurviveAWrite) {
  testing::TempFolder folder;
  EXPECT_EQ(ReadExtraOptions(folder.Path()), ExtraOptions{});

  ReplaceFileAtomically(folder.PathOf(kExtraOptionsFileName), "formatted=1\r\nsources=1\nhttps=x\r\n");
  ExtraOptions options = ReadExtraOptions(folder.Path());
  EXPECT_TRUE(options.formatted);
  EXPECT_FALSE(options.https);
  EXPECT_FALSE(options.report);
  options.https = true;
  options.report = true;
  options.validOnly = true;
  options.scope = ScopeKind::Host;
  options.maxPagesPerLine = 7;
  options.retries = 0;
  options.blockFonts = true;
  WriteExtraOptions(folder.Path(), options);
  EXPECT_EQ(ReadWholeFile(folder.PathOf(kExtraOptionsFileName)),
            "https=1\r\nformatted=1\r\nreport=1\r\nfollow=0\r\nignore-robots=0\r\nplaces=0\r\n"
            "valid-only=1\r\nsitemaps=0\r\nblock-images=0\r\nblock-fonts=1\r\nblock-media=0\r\n"
            "depth=1\r\nscope=host\r\nmax-pages=7\r\nretries=0\r\nsources=1\r\n");
  EXPECT_EQ(ReadExtraOptions(folder.Path()), options);
}

TEST(ExtraOptionsFileTest, RevealAndStructuredSwitchesRoundTripAndAreWrittenOnlyWhenOn) {
  testing::TempFolder folder;
  WriteExtraOptions(folder.Path(), ExtraOptions{});
  EXPECT_EQ(ReadWholeFile(folder.PathOf(kExtraOptionsFileName)).find("scroll"), std::string::npos);
  ExtraOptions options;
  options.scroll = 5;
  options.clickMore = true;
  options.clickTexts = {"\xb8\xfc\xb6\xe0", "more"};
  options.structured = true;
  WriteExtraOptions(folder.Path(), options);
  EXPECT_TRUE(ReadWholeFile(folder.PathOf(kExtraOptionsFileName))
                  .ends_with("scroll=5\r\nclick-more=1\r\nclick-text=\xb8\xfc\xb6\xe0,more\r\n"
                             "structured=1\r\n"));
  EXPECT_EQ(ReadExtraOptions(folder.Path()), options);

  ReplaceFileAtomically(folder.PathOf(kExtraOptionsFileName),
                        "scroll=500\r\nclick-text=,a,,b,\r\nclick-more=x\r\n");
  options = ReadExtraOptions(folder.Path());
  EXPECT_EQ(options.scroll, kMaxScrolls);
  EXPECT_EQ(options.clickTexts, (std::vector<std::string>{"a", "b"}));
  EXPECT_FALSE(options.clickMore);
  EXPECT_TRUE(options.unknownLines.empty());
  ReplaceFileAtomically(folder.PathOf(kExtraOptionsFileName), "scroll=-1\r\n");
  EXPECT_EQ(ReadExtraOptions(folder.Path()).scroll, 0);
}

}  // namespace
}  // namespace tolvarine
