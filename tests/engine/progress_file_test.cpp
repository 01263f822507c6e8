#include "engine/progress_file.h"

#include <gtest/gtest.h>

#include "base/errors.h"
#include "tests/engine/resource_limits.h"
#include "tests/support/recording_view.h"
#include "tests/support/temp_folder.h"

namespace tolvarine {
namespace {

using testing::RecordingView;
using testing::TempFolder;

class ProgressFileTest : public ::testing::Test {
 protected:
  TempFolder folder;
  ProgressFile files{folder.Path()};
  RecordingView view;
};

TEST_F(ProgressFileTest, WritesTheTenLinesOfAStoppedWalk) {
  view.listFileField = "/data/urls.txt";
  view.options[CrawlOption::Dedup] = true;
  view.options[CrawlOption::SearchPhones] = true;
  view.options[CrawlOption::Autosave] = true;
  view.speedText = "8";
  files.Write(view, 37, 120);
  EXPECT_EQ(folder.Read("tolvarine.ini"),
            "/data/urls.txt\r\n37\r\n120\r\nqcyes\r\nwebno\r\nmobyes\r\nsxno\r\nbzno\r\nsaveyes\r\n8\r\n");

  // The speed is written as counted.
  view.speedText = "fast";
  files.Write(view, 0, 0);
  EXPECT_EQ(folder.Read("tolvarine.ini").substr(folder.Read("tolvarine.ini").size() - 3), "1\r\n");
}

TEST_F(ProgressFileTest, ReadAppliesEveryLine) {
  int position = 0, total = 0;
  EXPECT_FALSE(files.Read(view, position, total));

  folder.Write("tolvarine.ini", "/x/list.txt\r\n37\r\n120\r\nQCYES\r\nwebyes\r\nmobno\r\nsxyes\r\n\r\nsaveyes\r\n90\r\n");
  view.options[CrawlOption::Dedup] = true;
  view.options[CrawlOption::OnlySite] = true;
  EXPECT_TRUE(files.Read(view, position, total));
  EXPECT_EQ(view.listFileField, "/x/list.txt");
  EXPECT_EQ(position, 37);
  EXPECT_EQ(total, 120);
  EXPECT_FALSE(view.options[CrawlOption::Dedup]);  // capitals do not count
  EXPECT_TRUE(view.options[CrawlOption::SearchLinks]);
  EXPECT_FALSE(view.options[CrawlOption::SearchPhones]);
  EXPECT_TRUE(view.options[CrawlOption::LinkFilter]);
  EXPECT_FALSE(view.options[CrawlOption::OnlySite]);  // an empty line unticks
  EXPECT_TRUE(view.options[CrawlOption::Autosave]);
  EXPECT_EQ(view.speedText, "60");
}

TEST_F(ProgressFileTest, ABadNumberStopsReadingAfterTheEarlierLines) {
  folder.Write("tolvarine.ini", "/x/list.txt\r\n12\r\nabc\r\nqcyes\r\n");
  int position = 0, total = 5;
  try {
    files.Read(view, position, total);
    FAIL() << "no failure";
  } catch (const ConvertError& e) {
    EXPECT_STREQ(e.what(), "'abc' is not a valid integer value");
  }
  EXPECT_EQ(view.listFileField, "/x/list.txt");
  EXPECT_EQ(position, 12);
  EXPECT_EQ(total, 5);
  EXPECT_FALSE(view.options[CrawlOption::Dedup]);

  // A missing line reads as empty and fails the same way.
  folder.Write("tolvarine.ini", "/x/list.txt\r\n12\r\n7\r\nqcyes\r\n");
  EXPECT_THROW(files.Read(view, position, total), ConvertError);
  EXPECT_EQ(total, 7);
  EXPECT_TRUE(view.options[CrawlOption::Dedup]);
}

TEST_F(ProgressFileTest, AFailedWriteLeavesTheOldFileWhole) {
  const std::string old = "/old.txt\r\n1\r\n2\r\nqcno\r\nwebno\r\nmobyes\r\nsxno\r\nbzno\r\nsaveno\r\n8\r\n";
  folder.Write("tolvarine.ini", old);
  {
    testing::FileSizeLimit limit(8);
    EXPECT_THROW(files.Write(view, 37, 120), InOutError);
  }
  EXPECT_EQ(folder.Read("tolvarine.ini"), old);
}

TEST_F(ProgressFileTest, ListFilesLoadWithCrLfLineEnds) {
  folder.Write("kqwebmobset.ini", "13\n15\r18\r\n17");
  folder.Write("kqweblinkok.ini", std::string("a\n\rb\n\0c", 7));
  view.rules[RuleList::MustNotContain] = "$\r\n#";
  files.LoadLists(view);
  EXPECT_EQ(view.rules[RuleList::Prefixes], "13\r\n15\r\n18\r\n17");
  EXPECT_EQ(view.rules[RuleList::MustContain], "a\r\n\r\nb\r\n");
  EXPECT_EQ(view.rules[RuleList::MustNotContain], "$\r\n#");  // no file: the lines stay
}

TEST_F(ProgressFileTest, AListFileThatCannotBeReadStopsLoading) {
  folder.Write("kqwebmobset.ini", "17");
  ASSERT_TRUE(testing::MakeUnopenableFile(folder.PathOf("kqweblinkok.ini")));
  folder.Write("kqweblinkno.ini", "y");
  EXPECT_THROW(files.LoadLists(view), InOutError);
  EXPECT_EQ(view.rules[RuleList::Prefixes], "17");
  EXPECT_EQ(view.rules[RuleList::MustContain], "http://\r\n.");
  EXPECT_EQ(view.rules[RuleList::MustNotContain], "$\r\n#");
}

TEST_F(ProgressFileTest, ListFilesSaveTheFieldTextExactly) {
  view.rules[RuleList::Prefixes] = "13\r\n15\r\n";
  view.rules[RuleList::MustContain] = "";
  files.SaveLists(view);
  EXPECT_EQ(folder.Read("kqwebmobset.ini"), "13\r\n15\r\n");
  EXPECT_EQ(folder.Read("kqweblinkok.ini"), "");
  EXPECT_EQ(folder.Read("kqweblinkno.ini"), "$\r\n#");

  // Each write stands alone: one failing (too long for the size limit) keeps its old file,
  // the others are still written.
  view.rules[RuleList::Prefixes] = std::string(100, '1');
  view.rules[RuleList::MustContain] = "ok";
  {
    testing::FileSizeLimit limit(10);
    files.SaveLists(view);
  }
  EXPECT_EQ(folder.Read("kqwebmobset.ini"), "13\r\n15\r\n");
  EXPECT_EQ(folder.Read("kqweblinkok.ini"), "ok");
}

}  // namespace
}  // namespace tolvarine
