#pragma once
// The main window's "整理" command (merge and dedup): its dialogs, then the merge, as
// window-free logic. The window implements MergeHost with its dialogs, status bar and
// cursor; tests use a fake.
#include <optional>
#include <string>
#include <vector>

namespace tolvarine {

class MergeHost {
 public:
  virtual ~MergeHost() = default;
  // The open dialog (several files): the chosen files as file-system paths (UTF-8), in the
  // dialog's order; nullopt when cancelled. An empty list is a valid, empty choice.
  virtual std::optional<std::vector<std::string>> ChooseInputFiles() = 0;
  // The save dialog: a file-system path; nullopt when cancelled.
  virtual std::optional<std::string> ChooseOutputFile() = 0;
  // Shows how far the merge is (a GBK text); the window puts it in its status bar.
  virtual void SetStatusText(const std::string& gbk) = 0;
  // Application-wide cursor: the application-starting cursor (arrow with hourglass), and
  // back to the default one.
  virtual void SetBusyCursor() = 0;
  virtual void RestoreCursor() = 0;
  // Repaints the main window at once.
  virtual void RepaintNow() = 0;
  // Shows the standard error dialog for a failure's message (GBK, as raised; the dialog
  // adds its full stop itself).
  virtual void ShowError(const std::string& messageGbk) = 0;
};

// "数据正处理中..." and "文件合并去重整理完毕！" as GBK texts.
const std::string& MergeBusyText();
const std::string& MergeDoneText();

// Runs the command: open dialog, save dialog (either cancelled: no effect at all); an empty
// choice does nothing; otherwise busy cursor, busy text, repaint, merge, done text. A
// failure restores the cursor, leaves the busy text, and shows its message through the
// host; no exception leaves this function.
void RunMergeAndDedup(MergeHost& host);

}  // namespace tolvarine
