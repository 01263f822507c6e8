// File names, the state folder and the host lookup: where the program finds its files.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <arpa/inet.h>

#include "base/file_names.h"
#include "base/gbk.h"
#include "base/host_lookup.h"
#include "base/state_folder.h"
#include "env_var.h"
#include "tests/support/temp_folder.h"

namespace tolvarine {
namespace {

using testing::EnvVar;
using testing::TempFolder;

TEST(FileNames, ExactNameThenCaseIgnoringMatch) {
  TempFolder folder;
  folder.Write("kqweblinkok.ini", "x");
  folder.Write("Urls.TXT", "x");
  folder.Write("网址.txt", "x");
  std::string base = GbkFileName(folder.Path());

  EXPECT_EQ(FileSystemPath(base + "kqweblinkok.ini"), folder.PathOf("kqweblinkok.ini"));
  EXPECT_EQ(FileSystemPath(base + "KQWEBLINKOK.INI"), folder.PathOf("kqweblinkok.ini"));
  EXPECT_EQ(FileSystemPath(base + "urls.txt"), folder.PathOf("Urls.TXT"));
  // The GBK name of a Chinese file name finds the UTF-8 file.
  EXPECT_EQ(FileSystemPath(base + Utf8ToGbk("网址.TXT")), folder.PathOf("网址.txt"));
  // No match at all: the converted name as it is.
  EXPECT_EQ(FileSystemPath(base + "Missing.ini"), folder.PathOf("Missing.ini"));
  EXPECT_EQ(FileSystemPath(base + "nofolder/A.ini"), folder.PathOf("nofolder/A.ini"));
  EXPECT_EQ(GbkFileName(folder.PathOf("网址.txt")), base + Utf8ToGbk("网址.txt"));
}

TEST(FileNames, SeveralMatchesPickTheSameOneEveryTime) {
  TempFolder folder;
  folder.Write("list.TXT", "x");
  folder.Write("LIST.txt", "x");
  EXPECT_EQ(FileSystemPath(GbkFileName(folder.Path()) + "List.Txt"), folder.PathOf("LIST.txt"));
}

TEST(StateFolder, ChosenFolderExecutableFolderOrUserData) {
  std::string exe = ExecutableFolder();
  ASSERT_FALSE(exe.empty());
  EXPECT_EQ(exe.back(), '/');
  EXPECT_TRUE(std::filesystem::exists(exe + "base_tests"));

  TempFolder folder;
  {
    EnvVar chosen("TOLVARINE_STATE_DIR", folder.PathOf("state").c_str());
    EXPECT_EQ(StateFolder(), folder.PathOf("state/"));
    EXPECT_TRUE(std::filesystem::is_directory(folder.PathOf("state")));
  }
  EnvVar chosen("TOLVARINE_STATE_DIR", nullptr);
  EXPECT_EQ(StateFolderFor(folder.Path()), folder.Path());
  {
    EnvVar data("XDG_DATA_HOME", folder.PathOf("data").c_str());
    EXPECT_EQ(StateFolderFor("/no/such/folder/"), folder.PathOf("data/tolvarine/"));
    EXPECT_TRUE(std::filesystem::is_directory(folder.PathOf("data/tolvarine")));
  }
  {
    EnvVar data("XDG_DATA_HOME", nullptr);
    EnvVar home("HOME", folder.PathOf("home").c_str());
    EXPECT_EQ(StateFolderFor("/no/such/folder/"), folder.PathOf("home/.local/share/tolvarine/"));
    // An installed copy keeps its state per user, also where it could write beside itself.
    std::filesystem::create_directory(folder.PathOf("bin"));
    EXPECT_EQ(StateFolderFor(folder.PathOf("bin")), folder.PathOf("home/.local/share/tolvarine/"));
    EXPECT_EQ(StateFolderFor("/usr/bin/"), folder.PathOf("home/.local/share/tolvarine/"));
  }
}

TEST(HostLookup, DottedQuadsOrNothing) {
  for (const auto& address : LocalHostAddresses()) {
    in_addr parsed{};
    EXPECT_EQ(inet_pton(AF_INET, address.c_str(), &parsed), 1) << address;
    char back[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &parsed, back, sizeof back);
    EXPECT_EQ(address, back);
  }
}

}  // namespace
}  // namespace tolvarine
