#include "tools/merge_dialog_flow.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "base/gbk.h"
#include "tests/support/temp_folder.h"

namespace tolvarine {
namespace {

using testing::FileBytes;
using testing::PathExists;
using testing::TempFolder;

// Records every call in order; the dialogs answer what the test set.
class FakeHost : public MergeHost {
 public:
  std::optional<std::vector<std::string>> inputs;
  std::optional<std::string> output;
  std::vector<std::string> calls;
  std::string status;

  std::optional<std::vector<std::string>> ChooseInputFiles() override {
    calls.push_back("open");
    return inputs;
  }
  std::optional<std::string> ChooseOutputFile() override {
    calls.push_back("save");
    return output;
  }
  void SetStatusText(const std::string& gbk) override {
    status = gbk;
    calls.push_back(gbk == MergeBusyText() ? "status busy" : gbk == MergeDoneText() ? "status done" : "status ?");
  }
  void SetBusyCursor() override { calls.push_back("busy cursor"); }
  void RestoreCursor() override { calls.push_back("default cursor"); }
  void RepaintNow() override { calls.push_back("repaint"); }
  void ShowError(const std::string& messageGbk) override { calls.push_back("error: " + messageGbk); }
};

using Calls = std::vector<std::string>;

TEST(MergeCommand, StatusTextsAreTheFixedGbkTexts) {
  EXPECT_EQ(MergeBusyText(), Utf8ToGbk("数据正处理中..."));
  EXPECT_EQ(MergeDoneText(), Utf8ToGbk("文件合并去重整理完毕！"));
}

TEST(MergeCommand, CancellingEitherDialogHasNoEffect) {
  TempFolder folder;
  const std::string out = folder.PathOf("out.txt");
  FakeHost host;
  RunMergeAndDedup(host);
  EXPECT_EQ(host.calls, Calls({"open"}));

  FakeHost second;
  second.inputs = std::vector<std::string>{folder.Write("a.txt", "a\r\n")};
  RunMergeAndDedup(second);
  EXPECT_EQ(second.calls, Calls({"open", "save"}));

  FakeHost empty;
  empty.inputs = std::vector<std::string>{};
  empty.output = out;
  RunMergeAndDedup(empty);
  EXPECT_EQ(empty.calls, Calls({"open", "save"}));
  EXPECT_FALSE(PathExists(out));
}

TEST(MergeCommand, MergesWithBusyCursorAndStatusTexts) {
  TempFolder folder;
  FakeHost host;
  host.inputs = std::vector<std::string>{folder.Write("a.txt", "b\r\nA\r\n"),
                                         folder.Write("b.txt", "a\r\nc\r\n")};
  host.output = folder.PathOf("out.txt");
  RunMergeAndDedup(host);
  EXPECT_EQ(host.calls, Calls({"open", "save", "busy cursor", "status busy", "repaint",
                               "default cursor", "status done"}));
  EXPECT_EQ(FileBytes(*host.output), "A\r\nb\r\nc\r\n");
}

TEST(MergeCommand, MissingInputIsShownAfterTheCursorReturnsAndCreatesNoOutput) {
  TempFolder folder;
  FakeHost host;
  const std::string missing = folder.PathOf("missing.txt");
  host.inputs = std::vector<std::string>{folder.Write("a.txt", "a\r\n"), missing};
  host.output = folder.PathOf("out.txt");
  RunMergeAndDedup(host);
  EXPECT_EQ(host.calls, Calls({"open", "save", "busy cursor", "status busy", "repaint",
                               "default cursor", "error: Cannot open file " + missing}));
  EXPECT_EQ(host.status, MergeBusyText());
  EXPECT_FALSE(PathExists(*host.output));
}

TEST(MergeCommand, UncreatableOutputIsShown) {
  TempFolder folder;
  FakeHost host;
  host.inputs = std::vector<std::string>{folder.Write("a.txt", "a\r\n")};
  host.output = folder.PathOf("none/out.txt");
  RunMergeAndDedup(host);
  ASSERT_FALSE(host.calls.empty());
  EXPECT_EQ(host.calls.back(), "error: Cannot create file " + *host.output);
  EXPECT_EQ(host.status, MergeBusyText());
}

}  // namespace
}  // namespace tolvarine
