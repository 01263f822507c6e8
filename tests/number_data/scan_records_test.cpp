// scan's records with each number's place, and --valid-only, through the real executable.
#include <gtest/gtest.h>

#include "base/gbk.h"
#include "tests/app/child_process.h"
#include "tests/support/temp_folder.h"

namespace tolvarine::testing {
namespace {

// 138 1234 5678 is a mobile number of 连云港; 140 1234 5678 is no mobile number.
const char kPage[] = "13812345678 14012345678\n13800000000 13812345678\n";

ProcessResult Scan(std::vector<std::string> args) {
  args.insert(args.begin(), {"scan", "--prefixes", "13,14"});
  return RunProcess(TOLVARINE_EXE, args);
}

// A file name holding a comma and a quote shows the page field quoted; the Chinese fields
// are GBK in CSV, UTF-8 in JSON.
TEST(ScanRecords, CsvAndJsonCarryThePlace) {
  TempFolder dir;
  const std::string file = dir.Write("a,\"b\".txt", kPage);
  const std::string page = "\"" + dir.PathOf("a,\"\"b\"\".txt") + "\"";
  ProcessResult csv = Scan({"--format", "csv", "--enrich", "--dedup", file});
  ASSERT_EQ(csv.status, 0) << csv.err;
  EXPECT_EQ(GbkToUtf8(csv.out),
            "value,page,time,province,city,carrier\r\n"
            "13812345678," + page + ",,江苏省,连云港市,中国移动\r\n"
            "14012345678," + page + ",,,,\r\n"
            "13800000000," + page + ",,北京市,北京市,中国移动\r\n");

  ProcessResult plainCsv = Scan({"--format", "csv", file});
  EXPECT_EQ(plainCsv.out.substr(0, plainCsv.out.find('\n', 17) + 1),
            "value,page,time\r\n13812345678," + page + ",\r\n");

  const std::string input = dir.Write("in.txt", "x 13312345678\n");
  ProcessResult json = RunProcess("/bin/sh", {"-c", std::string(TOLVARINE_EXE) +
                                                        " scan --format jsonl --enrich - < " + input});
  ASSERT_EQ(json.status, 0) << json.err;
  EXPECT_EQ(json.out,
            "{\"value\":\"13312345678\",\"page\":\"-\",\"time\":\"\",\"province\":\"贵州省\","
            "\"city\":\"遵义市\",\"carrier\":\"中国电信\"}\n");

  EXPECT_EQ(Scan({"--enrich", file}).status, 2);  // no record to add the place to
  EXPECT_EQ(Scan({"--format", "xml", file}).status, 2);
}

TEST(ScanRecords, ValidOnlyDropsAndCountsTheRest) {
  TempFolder dir;
  const std::string file = dir.Write("page.txt", kPage);
  ProcessResult all = Scan({"--valid-only", file, file});
  ASSERT_EQ(all.status, 0) << all.err;
  EXPECT_EQ(all.out,
            "13812345678\r\n13800000000\r\n13812345678\r\n"
            "13812345678\r\n13800000000\r\n13812345678\r\n");
  EXPECT_NE(all.err.find("2 numbers dropped"), std::string::npos) << all.err;

  // Once a number, with --dedup: dropped and counted once.
  ProcessResult once = Scan({"--valid-only", "--dedup", "--format", "jsonl", file, file});
  EXPECT_EQ(once.out.find("14012345678"), std::string::npos);
  EXPECT_NE(once.out.find("13800000000"), std::string::npos);
  EXPECT_NE(once.err.find("1 number dropped"), std::string::npos) << once.err;
}

}  // namespace
}  // namespace tolvarine::testing
