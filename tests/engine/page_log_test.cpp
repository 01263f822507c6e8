// Page log records: their lines read back to the same record, counts by place, site names.
#include "engine/page_log.h"

#include <gtest/gtest.h>

namespace tolvarine {
namespace {

// "无效号码" (GBK).
const std::string kInvalid = "\xce\xde\xd0\xa7\xba\xc5\xc2\xeb";

TEST(PageLogTest, ARecordReadsBackFromItsLineInEitherForm) {
  PageRecord r;
  r.line = 7;
  r.depth = 2;
  r.listed = "http://a.example/x";
  r.final = "http://a.example/y";
  r.site = "a.example";
  r.startMs = 1765300000000;
  r.endMs = 1765300000450;
  r.outcome = PageOutcome::HarvestedEarly;
  r.phonesNew = 3;
  r.phonesAll = 5;
  r.linksNew = 1;
  r.linksAll = 4;
  r.places = true;
  r.provinces = {{"A", 1}, {"B", 2}};
  r.carriers = {{kInvalid, 3}};
  r.status = 503;
  for (RecordFormat format : {RecordFormat::Csv, RecordFormat::Jsonl}) {
    const auto back = PageRecordFromLine(format, PageLogLine(format, r));
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, r);
    EXPECT_EQ(back->depth, 2);
  }
  EXPECT_FALSE(PageRecordFromLine(RecordFormat::Csv, PageLogCsvHeader(true)));
  // JSON numbers are bare; a network error is named.
  r.places = false;
  r.provinces.clear();
  r.carriers.clear();
  r.status = 0;
  r.error = "connection-refused";
  const std::string json = PageLogLine(RecordFormat::Jsonl, r);
  EXPECT_NE(json.find("\"depth\":2,"), std::string::npos) << json;
  EXPECT_NE(json.find("\"status\":0,\"error\":\"connection-refused\"}"), std::string::npos)
      << json;
  EXPECT_EQ(PageRecordFromLine(RecordFormat::Jsonl, json), r);
  EXPECT_EQ(PageRecordFromLine(RecordFormat::Csv, PageLogLine(RecordFormat::Csv, r)), r);
}

TEST(PageLogTest, LogsWrittenBeforeTheAnswerColumnsAreRead) {
  const auto csv = PageRecordFromLine(
      RecordFormat::Csv, "1,0,http://a.example/,,a.example,1,2,robots,0,0,0,0");
  ASSERT_TRUE(csv);
  EXPECT_EQ(csv->outcome, PageOutcome::Refused);
  EXPECT_EQ(csv->status, 0);
  const auto json = PageRecordFromLine(
      RecordFormat::Jsonl,
      "{\"line\":\"1\",\"depth\":\"0\",\"listed\":\"x\",\"final\":\"\",\"site\":\"\","
      "\"start_ms\":\"1\",\"end_ms\":\"2\",\"outcome\":\"harvested\",\"phones_new\":\"1\","
      "\"phones_all\":\"1\",\"links_new\":\"0\",\"links_all\":\"0\"}");
  ASSERT_TRUE(json);
  EXPECT_EQ(json->phonesNew, 1);
}

TEST(PageLogTest, ANameGivenTwiceIsSummed) {
  const auto r = PageRecordFromLine(
      RecordFormat::Csv,
      "1,0,http://a.example/,,a.example,1,2,harvested,3,3,0,0,A:1;A:2,B:3");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->provinces, (std::map<std::string, int>{{"A", 3}}));
  EXPECT_EQ(r->carriers, (std::map<std::string, int>{{"B", 3}}));
}

TEST(PageLogTest, AnInvalidNumberCountsOnlyAsInvalid) {
  PageRecord r;
  CountPlace(NumberPlace{}, r);
  EXPECT_EQ(r.provinces, (std::map<std::string, int>{{kInvalid, 1}}));
  EXPECT_EQ(r.carriers, (std::map<std::string, int>{{kInvalid, 1}}));
}

TEST(PageLogTest, RevealColumnsReadBackAndOlderLogsStillRead) {
  PageRecord r;
  r.line = 2;
  r.listed = r.final = "http://a.example/";
  r.site = "a.example";
  r.status = 200;
  r.reveals = true;
  r.scrolls = 4;
  r.clicks = 20;
  r.phonesRevealed = 7;
  for (const bool places : {false, true}) {
    r.places = places;
    if (places) r.provinces = r.carriers = {{"A", 1}};
    for (RecordFormat format : {RecordFormat::Csv, RecordFormat::Jsonl}) {
      const auto back = PageRecordFromLine(format, PageLogLine(format, r));
      ASSERT_TRUE(back) << places;
      EXPECT_EQ(*back, r);
    }
  }
  // A page whose steps gave nothing reads back too; a negative count is no record.
  PageRecord none = r;
  none.scrolls = none.clicks = none.phonesRevealed = 0;
  for (RecordFormat format : {RecordFormat::Csv, RecordFormat::Jsonl})
    EXPECT_EQ(*PageRecordFromLine(format, PageLogLine(format, none)), none);
  none.places = false;
  none.provinces.clear();
  none.carriers.clear();
  for (int PageRecord::*count :
       {&PageRecord::scrolls, &PageRecord::clicks, &PageRecord::phonesRevealed}) {
    PageRecord bad = none;
    bad.*count = -1;
    EXPECT_FALSE(PageRecordFromLine(RecordFormat::Csv, PageLogLine(RecordFormat::Csv, bad)));
  }
  r.places = false;
  r.provinces.clear();
  r.carriers.clear();
  EXPECT_TRUE(PageLogLine(RecordFormat::Csv, r).ends_with(",200,,4,20,7"));
  EXPECT_TRUE(PageLogLine(RecordFormat::Jsonl, r)
                  .ends_with("\"error\":\"\",\"scrolls\":4,\"clicks\":20,\"phones_revealed\":7}"));
  // A walk without reveal steps writes its records as before.
  r.reveals = false;
  r.scrolls = r.clicks = r.phonesRevealed = 0;
  EXPECT_TRUE(PageLogLine(RecordFormat::Csv, r).ends_with(",200,"));
  EXPECT_EQ(*PageRecordFromLine(RecordFormat::Csv, PageLogLine(RecordFormat::Csv, r)), r);
  EXPECT_FALSE(PageRecordFromLine(RecordFormat::Csv, "2,0,a,a,a,0,0,harvested,0,0,0,0,200,,x,1,2"));
}

}  // namespace
}  // namespace tolvarine
