// Shards of one list walked by separate processes, and a walk killed without warning that
// continues from its saved position, through the real executable against local pages.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <sstream>

#include "tests/app/child_process.h"
#include "tests/support/local_http_server.h"
#include "tests/support/temp_folder.h"

namespace tolvarine::testing {
namespace {

constexpr int kPages = 6;

class HarvestShards : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string lines;
    for (int i = 1; i <= kPages; ++i) {
      const std::string n = std::to_string(i);
      server.Page("/p" + n, "<html><body><p>13800000" + std::string(3 - n.size(), '0') + n +
                                "</p><p>15900000000</p><a href=\"/t" + n +
                                "\">t</a></body></html>");
      lines += server.Url("/p" + n) + "\r\n";
    }
    list = dir.Write("urls.txt", lines);
    ::mkdir(dir.PathOf("state").c_str(), 0755);
  }

  std::vector<std::string> Args(const std::string& out, std::vector<std::string> extra) {
    std::vector<std::string> args = {"harvest",      list,          "--phones",
                                     "--links",      "--dedup",     "--interval-ms",
                                     "150",          "--no-online-check", "--state",
                                     dir.PathOf("state"), "--phones-out", dir.PathOf(out + ".phones"),
                                     "--links-out",  dir.PathOf(out + ".links")};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
  }

  std::vector<std::string> Sorted(const std::vector<std::string>& outs, const char* kind) {
    std::vector<std::string> rows;
    for (const std::string& out : outs) {
      std::vector<std::string> more = Rows(dir.Read(out + kind));
      rows.insert(rows.end(), more.begin(), more.end());
    }
    std::sort(rows.begin(), rows.end());
    return rows;
  }

  LocalHttpServer server;
  TempFolder dir;
  std::string list;
};

TEST_F(HarvestShards, ThreeShardsTogetherFindWhatOneWalkFinds) {
  {
    std::vector<std::unique_ptr<ChildProcess>> shards;
    for (int k = 0; k < 3; ++k) {
      // Built up in steps: GCC 12 at -O3 warns falsely on "s" + std::to_string(k).
      std::string name = "s";
      name += std::to_string(k);
      shards.push_back(std::make_unique<ChildProcess>(
          TOLVARINE_EXE, Args(name, {"--shard", std::to_string(k) + "/3"})));
    }
    for (auto& shard : shards) {
      ProcessResult r = shard->Finish();
      EXPECT_EQ(r.status, 0) << r.err;
    }
  }
  for (int i = 1; i <= kPages; ++i)
    EXPECT_EQ(server.RequestCount("/p" + std::to_string(i)), 1) << i;
  // Each shard kept its own progress, past the end of the list; the window's is untouched.
  for (int k = 0; k < 3; ++k)
    EXPECT_EQ(Rows(dir.Read("state/tolvarine-shard-" + std::to_string(k) + "-of-3.ini"))[1],
              std::to_string(kPages));
  EXPECT_FALSE(dir.Exists("state/tolvarine.ini"));

  ProcessResult one = RunProcess(TOLVARINE_EXE, Args("one", {}));
  ASSERT_EQ(one.status, 0) << one.err;
  const std::vector<std::string> shards = {"s0", "s1", "s2"};
  EXPECT_EQ(Sorted(shards, ".links"), Sorted({"one"}, ".links"));
  // The number on every page is a row in each shard (--dedup works per walk): merge joins.
  ProcessResult merged = RunProcess(
      TOLVARINE_EXE, {"merge", "-o", dir.PathOf("all.phones"), dir.PathOf("s0.phones"),
                      dir.PathOf("s1.phones"), dir.PathOf("s2.phones")});
  ASSERT_EQ(merged.status, 0) << merged.err;
  EXPECT_EQ(Sorted({"all"}, ".phones"), Sorted({"one"}, ".phones"));

  ProcessResult bad = RunProcess(TOLVARINE_EXE, Args("x", {"--shard", "3/3"}));
  EXPECT_EQ(bad.status, 2);
}

TEST_F(HarvestShards, JobsJoinTheShardsIntoOneOutputWithEachRowOnce) {
  ProcessResult jobs = RunProcess(TOLVARINE_EXE, Args("j", {"--jobs", "3"}));
  ASSERT_EQ(jobs.status, 0) << jobs.err;
  ProcessResult one = RunProcess(TOLVARINE_EXE, Args("one", {}));
  ASSERT_EQ(one.status, 0) << one.err;
  EXPECT_EQ(Sorted({"j"}, ".phones"), Sorted({"one"}, ".phones"));
  EXPECT_EQ(Sorted({"j"}, ".links"), Sorted({"one"}, ".links"));
  for (int k = 0; k < 3; ++k)
    EXPECT_TRUE(dir.Exists("state/tolvarine-shard-" + std::to_string(k) + "-of-3.ini"));
}

TEST_F(HarvestShards, AKilledWalkContinuesFromItsSavedPositionWritingNothingTwice) {
  const std::vector<std::string> saveOften = {"TOLVARINE_POSITION_SAVE_MS=50"};
  {
    ChildProcess child(TOLVARINE_EXE, Args("w", {"--shard", "0/1"}), saveOften);
    ASSERT_TRUE(child.WaitForErrorLine("page 4/6"));
    child.Signal(SIGKILL);
    child.Finish();
  }
  const std::string progress = "state/tolvarine-shard-0-of-1.ini";
  ASSERT_TRUE(dir.Exists(progress));
  // A row cut short by the kill stays a line of its own.
  dir.Write("w.phones", dir.Read("w.phones") + "1380");
  const int saved = std::stoi(Rows(dir.Read(progress))[1]);
  EXPECT_GE(saved, 1);
  EXPECT_LT(saved, kPages);

  ProcessResult rest =
      RunProcess(TOLVARINE_EXE, Args("w", {"--shard", "0/1", "--continue"}), saveOften);
  ASSERT_EQ(rest.status, 0) << rest.err;
  for (int i = 1; i <= kPages; ++i)
    EXPECT_GE(server.RequestCount("/p" + std::to_string(i)), 1) << i;
  std::vector<std::string> phones = Sorted({"w"}, ".phones");
  EXPECT_EQ(phones.size(), static_cast<std::size_t>(kPages + 2));
  EXPECT_EQ(phones.front(), "1380");
  EXPECT_EQ(std::unique(phones.begin(), phones.end()), phones.end());
  std::vector<std::string> links = Sorted({"w"}, ".links");
  EXPECT_EQ(std::unique(links.begin(), links.end()), links.end());
  EXPECT_EQ(links.size(), static_cast<std::size_t>(kPages));
  EXPECT_EQ(Rows(dir.Read(progress))[1], std::to_string(kPages));
}

}  // namespace
}  // namespace tolvarine::testing
