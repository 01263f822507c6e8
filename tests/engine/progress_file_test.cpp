#include "engine/progress_file.h"

#include <gtest/gtest.h>

#include "base/errors.h"
#include "tests/engine/resource_limits.h"
#include "tests/support/temp_folder.h"

namespace tolvarine {
namespace {

using testing::TempFolder;

class ProgressFileTest : public ::testing::Test {
 protected:
  TempFolder folder;
  ProgressFile files{folder.Path()};
  CrawlSettings settings;
};

TEST_F(ProgressFileTest, WritesTheTenLinesOfAStoppedWalk) {
  settings.listFile = "/data/urls.txt";
  settings.SetOption(CrawlOption::Dedup, true);
  settings.SetOption(CrawlOption::SearchPhones, true);
  settings.SetOption(CrawlOption::Autosave, true);
  settings.speed = 8;
  files.Write(settings, 37, 120);
  EXPECT_EQ(folder.Read("tolvarine.ini"),
            "/data/urls.txt\r\n37\r\n120\r\nqcyes\r\nwebno\r\nmobyes\r\nsxno\r\nbzno\r\nsaveyes\r\n8\r\n");

  // A speed out of range is written within it.
  settings.speed = 0;
  files.Write(settings, 0, 0);
  EXPECT_EQ(folder.Read("tolvarine.ini").substr(folder.Read("tolvarine.ini").size() - 3), "1\r\n");
}

TEST_F(ProgressFileTest, ReadAppliesEveryLine) {
  int position = 0, total = 0;
  EXPECT_FALSE(files.Read(settings, position, total));

  folder.Write("tolvarine.ini", "/x/list.txt\r\n37\r\n120\r\nQCYES\r\nwebyes\r\nmobno\r\nsxyes\r\n\r\nsaveyes\r\n90\r\n");
  settings.SetOption(CrawlOption::Dedup, true);
  settings.SetOption(CrawlOption::OnlySite, true);
  EXPECT_TRUE(files.Read(settings, position, total));
  EXPECT_EQ(settings.listFile, "/x/list.txt");
  EXPECT_EQ(position, 37);
  EXPECT_EQ(total, 120);
  EXPECT_FALSE(settings.Option(CrawlOption::Dedup));  // capitals do not count
  EXPECT_TRUE(settings.Option(CrawlOption::SearchLinks));
  EXPECT_FALSE(settings.Option(CrawlOption::SearchPhones));
  EXPECT_TRUE(settings.Option(CrawlOption::LinkFilter));
  EXPECT_FALSE(settings.Option(CrawlOption::OnlySite));  // an empty line unticks
  EXPECT_TRUE(settings.Option(CrawlOption::Autosave));
  EXPECT_EQ(settings.speed, 60);
}

TEST_F(ProgressFileTest, ABadNumberStopsReadingAfterTheEarlierLines) {
  folder.Write("tolvarine.ini", "/x/list.txt\r\n12\r\nabc\r\nqcyes\r\n");
  int position = 0, total = 5;
  try {
    files.Read(settings, position, total);
    FAIL() << "no failure";
  } catch (const ConvertError& e) {
    EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
  }
  EXPECT_EQ(settings.listFile, "/x/list.txt");
  EXPECT_EQ(position, 12);
  EXPECT_EQ(total, 5);
  EXPECT_FALSE(settings.Option(CrawlOption::Dedup));

  // A missing line reads as empty and fails the same way.
  folder.Write("tolvarine.ini", "/x/list.txt\r\n12\r\n7\r\nqcyes\r\n");
  EXPECT_THROW(files.Read(settings, position, total), ConvertError);
  EXPECT_EQ(total, 7);
  EXPECT_TRUE(settings.Option(CrawlOption::Dedup));
}

TEST_F(ProgressFileTest, AFailedWriteLeavesTheOldFileWhole) {
  const std::string old = "/old.txt\r\n1\r\n2\r\nqcno\r\nwebno\r\nmobyes\r\nsxno\r\nbzno\r\nsaveno\r\n8\r\n";
  folder.Write("tolvarine.ini", old);
  {
    testing::FileSizeLimit limit(8);
    EXPECT_THROW(files.Write(settings, 37, 120), InOutError);
  }
  EXPECT_EQ(folder.Read("tolvarine.ini"), old);
}

TEST_F(ProgressFileTest, ListFilesLoadWithCrLfLineEnds) {
  folder.Write("kqwebmobset.ini", "13\n15\r18\r\n17");
  folder.Write("kqweblinkok.ini", std::string("a\n\rb\n\0c", 7));
    files.LoadLists(settings);
  EXPECT_EQ(settings.Rules(RuleList::Prefixes), "13\r\n15\r\n18\r\n17");
  EXPECT_EQ(settings.Rules(RuleList::MustContain), "a\r\n\r\nb\r\n");
  EXPECT_EQ(settings.Rules(RuleList::MustNotContain), "$\r\n#");  // no file: the lines stay
}

TEST_F(ProgressFileTest, AListFileThatCannotBeReadStopsLoading) {
  folder.Write("kqwebmobset.ini", "17");
  ASSERT_TRUE(testing::MakeUnopenableFile(folder.PathOf("kqweblinkok.ini")));
  folder.Write("kqweblinkno.ini", "y");
  EXPECT_THROW(files.LoadLists(settings), InOutError);
  EXPECT_EQ(settings.Rules(RuleList::Prefixes), "17");
  EXPECT_EQ(settings.Rules(RuleList::MustContain), "http://\r\n.");
  EXPECT_EQ(settings.Rules(RuleList::MustNotContain), "$\r\n#");
}

TEST_F(ProgressFileTest, ListFilesSaveTheFieldTextExactly) {
  settings.SetRules(RuleList::Prefixes, "13\r\n15\r\n");
  settings.SetRules(RuleList::MustContain, "");
  files.SaveLists(settings);
  EXPECT_EQ(folder.Read("kqwebmobset.ini"), "13\r\n15\r\n");
  EXPECT_EQ(folder.Read("kqweblinkok.ini"), "");
  EXPECT_EQ(folder.Read("kqweblinkno.ini"), "$\r\n#");

  // Each write stands alone: one failing (too long for the size limit) keeps its old file,
  // the others are still written.
  settings.SetRules(RuleList::Prefixes, std::string(100, '1'));
  settings.SetRules(RuleList::MustContain, "ok");
  {
    testing::FileSizeLimit limit(10);
    files.SaveLists(settings);
  }
  EXPECT_EQ(folder.Read("kqwebmobset.ini"), "13\r\n15\r\n");
  EXPECT_EQ(folder.Read("kqweblinkok.ini"), "ok");
}

}  // namespace
}  // namespace tolvarine
