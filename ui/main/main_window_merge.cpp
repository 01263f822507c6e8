// MainWindow as the host of the "整理" command: its two file dialogs, status panel 6 (its
// text repeated in the tooltip and the message panel), the application-wide cursor and an
// immediate repaint.
#include <QApplication>
#include <QCursor>
#include <QFile>
#include <QFileInfo>
#include <QLabel>

#include "ui/main/main_window.h"
#include "ui/qt_gbk.h"

namespace tolvarine {
namespace {

// A choice whose names together exceed this many bytes counts as cancelled.
constexpr qsizetype kMaxChosenNameBytes = 65519;

}  // namespace

std::optional<std::vector<std::string>> MainWindow::ChooseInputFiles() {
  FileDialogRequest request;
  request.title = QStringLiteral("选择一个或多个待合并去重的文件");
  request.filters = TextFileFilters();
  request.defaultSuffix = QStringLiteral("txt");
  request.selectedFile = lastMergeInput_;
  const std::optional<QStringList> chosen = dialogs_->OpenFiles(this, request);
  if (!chosen) return std::nullopt;
  // The folder once, then each file name, each followed by a terminator.
  qsizetype bytes = 0;
  if (!chosen->isEmpty()) {
    bytes = QFile::encodeName(QFileInfo(chosen->first()).absolutePath()).size() + 1;
    for (const QString& name : *chosen) {
      bytes += QFile::encodeName(QFileInfo(name).fileName()).size() + 1;
    }
  }
  if (bytes > kMaxChosenNameBytes) return std::nullopt;
  std::vector<std::string> paths;
  for (const QString& name : *chosen) paths.push_back(QFile::encodeName(name).toStdString());
  if (!chosen->isEmpty()) lastMergeInput_ = chosen->first();
  return paths;
}

std::optional<std::string> MainWindow::ChooseOutputFile() {
  FileDialogRequest request;
  request.title = QStringLiteral("合并去重复后的数据文件保存为");
  request.filters = TextFileFilters();
  request.defaultSuffix = QStringLiteral("txt");
  request.selectedFile = lastMergeOutput_;
  request.confirmOverwrite = true;
  const std::optional<QString> chosen = dialogs_->SaveFile(this, request);
  if (!chosen) return std::nullopt;
  lastMergeOutput_ = *chosen;
  return QFile::encodeName(*chosen).toStdString();
}

void MainWindow::SetStatusText(const std::string& gbk) {
  // Panel 6 is 41 pixels wide and shows only the first characters: the whole text is also
  // its tooltip and goes to the message panel.
  const QString text = FromGbk(gbk);
  panels_.at(6)->setText(text);
  panels_.at(6)->setToolTip(text);
  panels_.at(8)->setText(text);
}

void MainWindow::SetBusyCursor() {
  // Qt's nearest to the application-starting cursor: an arrow with a busy indicator.
  if (busyCursor_) QApplication::restoreOverrideCursor();
  QApplication::setOverrideCursor(QCursor(Qt::BusyCursor));
  busyCursor_ = true;
}

void MainWindow::RestoreCursor() {
  if (!busyCursor_) return;
  QApplication::restoreOverrideCursor();
  busyCursor_ = false;
}

void MainWindow::RepaintNow() { repaint(); }

}  // namespace tolvarine
