#include "tools/merge_dialog_flow.h"

#include "base/gbk.h"
#include "base/guard.h"
#include "tools/merge_dedup.h"

namespace tolvarine {

const std::string& MergeBusyText() {
  static const std::string text = Utf8ToGbk("数据正处理中...");
  return text;
}

const std::string& MergeDoneText() {
  static const std::string text = Utf8ToGbk("文件合并去重整理完毕！");
  return text;
}

namespace {

// Puts the default cursor back when the work ends, on every path.
class BusyCursor {
 public:
  explicit BusyCursor(MergeHost& host) : host_(host) { host_.SetBusyCursor(); }
  ~BusyCursor() { host_.RestoreCursor(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;

 private:
  MergeHost& host_;
};

}  // namespace

void RunMergeAndDedup(MergeHost& host) {
  RunGuarded([&host](const std::string& message) { host.ShowError(message); }, [&host] {
    // Both dialogs come first: cancelling either one leaves everything as it was.
    const std::optional<std::vector<std::string>> inputs = host.ChooseInputFiles();
    if (!inputs) return;
    const std::optional<std::string> output = host.ChooseOutputFile();
    if (!output) return;
    if (inputs->empty()) return;

    {
      BusyCursor cursor(host);
      host.SetStatusText(MergeBusyText());
      host.RepaintNow();
      MergeAndDedupFiles(*inputs, *output);
    }
    host.SetStatusText(MergeDoneText());
  });
}

}  // namespace tolvarine
