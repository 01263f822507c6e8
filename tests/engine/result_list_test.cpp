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

namespace tolvarine {
namespace {

// With found-in, a number's row ends with how it was found, after the place, in every way a
// row is made; without it, the rows and header are those of before.
TEST(ResultRecordsTest, FoundInEndsARowOnlyWhenAsked) {
  const RowSource tel{"http://a/", 0, 2, FoundIn::Tel};
  const NumberPlace place{"P", "C", "K"};
  RecordMaker csv(RecordFormat::Csv, true, true, true);
  EXPECT_EQ(csv.Header(), "value,page,time,depth,province,city,carrier,found_in");
  csv.SetSource(tel);
  EXPECT_EQ(csv.Row("13800000000", &place), "13800000000,http://a/,,2,P,C,K,tel");
  EXPECT_EQ(csv.Row("13800000000", &place),
            RecordText(RecordFormat::Csv, "13800000000", tel, &place, true));
  csv.SetFoundIn(FoundIn::Structured);
  EXPECT_EQ(csv.Row("x,1", &place), "\"x,1\",http://a/,,2,P,C,K,structured");
  csv.SetSource(RowSource{"http://b/", 0, 1});
  EXPECT_EQ(csv.Row("13800000000", nullptr), "13800000000,http://b/,,1,");

  RecordMaker json(RecordFormat::Jsonl, false, false, true);
  json.SetSource(tel);
  const std::string jsonRow =
      "{\"value\":\"13800000000\",\"page\":\"http://a/\",\"time\":\"\",\"found_in\":\"tel\"}";
  EXPECT_EQ(json.Row("13800000000", nullptr), jsonRow);
  EXPECT_EQ(RecordText(RecordFormat::Jsonl, "13800000000", RowSource{"http://a/", 0, -1,
                                                                      FoundIn::Tel},
                       nullptr, true),
            jsonRow);
  EXPECT_EQ(RecordValue(RecordFormat::Jsonl, jsonRow), "13800000000");

  RecordMaker without(RecordFormat::Csv, false, false);
  without.SetSource(tel);
  EXPECT_EQ(without.Header(), kResultCsvHeader);
  EXPECT_EQ(without.Row("13800000000", nullptr), "13800000000,http://a/,");
  EXPECT_EQ(RecordText(RecordFormat::Csv, "1", tel), "1,http://a/,,2");
}

TEST(ResultRecordsTest, AListSavedWithFoundInSaysHowEachRowWasFound) {
  ResultList list;
  list.BeginSource(RowSource{"http://a/", 0, -1, FoundIn::Text});
  list.Append("13800000000");
  list.BeginSource(RowSource{"http://a/", 0, -1, FoundIn::Markup});
  list.Append("13800000001");
  list.EndSource();
  list.Append("13800000002");
  EXPECT_EQ(ResultListText(list, RecordFormat::Csv, nullptr, true),
            "value,page,time,found_in\r\n13800000000,http://a/,,text\r\n"
            "13800000001,http://a/,,markup\r\n13800000002,,,\r\n");
  EXPECT_EQ(ResultListText(list, RecordFormat::Csv),
            "value,page,time\r\n13800000000,http://a/,\r\n13800000001,http://a/,\r\n"
            "13800000002,,\r\n");
  EXPECT_EQ(ResultListText(list, RecordFormat::Plain, nullptr, true),
            "13800000000\r\n13800000001\r\n13800000002\r\n");
}

}  // namespace
}  // namespace tolvarine
