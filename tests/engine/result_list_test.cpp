#include "engine/result_list.h"

#include <gtest/gtest.h>

namespace tolvarine {
namespace {

class CountingObserver : public ResultListObserver {
 public:
  void OnRowAppended(int row) override { appended.push_back(row); }
  void OnCleared() override { ++cleared; }
  std::vector<int> appended;
  int cleared = 0;
};

TEST(ResultListTest, KeepsRowsInOrderAndFindsEveryCaption) {
  ResultList list;
  CountingObserver observer;
  list.AddObserver(&observer);
  EXPECT_FALSE(list.Contains(""));
  for (int i = 0; i < 20000; ++i) list.Append("1380000" + std::to_string(i));
  list.Append("13800000");  // a repeated caption is still a row of its own
  list.Append("");
  ASSERT_EQ(list.Count(), 20002);
  EXPECT_EQ(list.Row(20000), "13800000");
  for (int i = 0; i < 20000; i += 7) EXPECT_TRUE(list.Contains("1380000" + std::to_string(i)));
  EXPECT_TRUE(list.Contains(""));
  EXPECT_FALSE(list.Contains("1380000" + std::to_string(20000)));
  EXPECT_FALSE(list.Contains("138000"));
  EXPECT_EQ(observer.appended.size(), 20002u);
  EXPECT_EQ(observer.appended.back(), 20001);

  list.Clear();
  EXPECT_EQ(observer.cleared, 1);
  EXPECT_EQ(list.Count(), 0);
  EXPECT_FALSE(list.Contains("13800000"));
  list.Append("13800000");
  EXPECT_TRUE(list.Contains("13800000"));
  list.RemoveObserver(&observer);
  list.Append("x");
  EXPECT_EQ(observer.appended.size(), 20003u);
}

}  // namespace
}  // namespace tolvarine
