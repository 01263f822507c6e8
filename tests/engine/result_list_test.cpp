#include "engine/result_list.h"
#include "engine/result_records.h"

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

namespace tolvarine {
namespace {

// What a continued harvest reads back from its own output must be the value it wrote, in
// every format: quotes, commas and Chinese text included.
TEST(ResultRecordsTest, AWrittenRowReadsBackAsItsValue) {
  const RowSource source{"http://a/\xD6\xD0,\"x\"", 0};
  for (const std::string& value :
       {std::string("13800000000"), std::string("http://a/?q=1,2&t=\"\xD6\xD0\xCE\xC4\""),
        std::string("http://a/\x01\\b")}) {
    for (RecordFormat format : {RecordFormat::Plain, RecordFormat::Csv, RecordFormat::Jsonl}) {
      EXPECT_EQ(RecordValue(format, RecordText(format, value, source)), value)
          << static_cast<int>(format) << " " << value;
    }
  }
  EXPECT_EQ(RecordValue(RecordFormat::Csv, kResultCsvHeader), std::nullopt);
  EXPECT_EQ(RecordValue(RecordFormat::Jsonl, "{\"value\":\"1380"), std::nullopt);  // cut short
  EXPECT_EQ(RecordValue(RecordFormat::Csv, "\"13800"), std::nullopt);
}

}  // namespace
}  // namespace tolvarine
