#pragma once
// Every modal box and file dialog the program's windows show goes through this one
// interface: the program uses QtDialogs, tests a scripted fake that answers without opening
// anything. Texts are QStrings; each window converts GBK at its edge.
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace tolvarine {

// A file dialog's settings. filters are Qt name filters ("Text files(*.txt) (*.txt)").
struct FileDialogRequest {
  QString title;
  QStringList filters;
  QString defaultSuffix;  // added to a name typed without one
  QString directory;      // initial folder
  QString selectedFile;   // initial name (full path or bare name); may be empty
  // Asks before an existing file is replaced (also when the default suffix completes the
  // typed name to an existing file's).
  bool confirmOverwrite = false;
};

// "『Tolvarine』V2.1" (the version from the build): the caption of the program's boxes and the start of its window title.
const QString& ApplicationTitle();

// The answers to the question about results not yet saved.
enum class SaveChoice { Save, DontSave, Cancel };

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Information box: caption "信息", information icon, "确定".
  virtual void Information(QWidget* parent, const QString& text) = 0;
  // Plain box: the application title as caption, no icon, "确定".
  virtual void Plain(QWidget* parent, const QString& caption, const QString& text) = 0;
  // Confirmation box: caption "确认", question icon, "是[&Y]" / "否[&N]"; true for yes.
  virtual bool Confirm(QWidget* parent, const QString& text) = 0;
  // Question before results are dropped: caption "确认", question icon, "保存" / "不保存" /
  // "取消"; closing the box answers Cancel.
  virtual SaveChoice AskSave(QWidget* parent, const QString& text) = 0;
  // The standard error dialog: the application title as caption, error icon, OK. The text
  // is shown as given (the caller applies the full-stop rule).
  virtual void Error(QWidget* parent, const QString& text) = 0;
  // Input box with "确定" / "取消"; nullopt when cancelled.
  virtual std::optional<QString> Input(QWidget* parent, const QString& caption,
                                       const QString& prompt, const QString& initial) = 0;
  virtual std::optional<QString> OpenFile(QWidget* parent, const FileDialogRequest& request) = 0;
  // Several files; an empty list when accepted with none.
  virtual std::optional<QStringList> OpenFiles(QWidget* parent,
                                               const FileDialogRequest& request) = 0;
  virtual std::optional<QString> SaveFile(QWidget* parent, const FileDialogRequest& request) = 0;
  // Shows another window of the program modally and returns when it closes.
  virtual void ShowModal(QWidget* window) = 0;
};

// The filters of the text-file dialogs: "Text files(*.txt)|*.txt|All files(*.*)|*.*".
QStringList TextFileFilters();

}  // namespace tolvarine
