#pragma once
// TForm2: the about box. Product name and version, the maker's logo and credit line,
// and three hyperlink labels (home page, a second web address, a mail contact). OK (or
// Enter) closes it; Escape does not. The same window is shown again on every About.
#include <QDialog>

#include "ui/side/hyperlink_label.h"

class QLabel;
class QPushButton;

namespace tolvarine {

class TForm2 : public QDialog {
  Q_OBJECT

 public:
  // opener: how the hyperlink labels open their addresses; empty means the desktop.
  explicit TForm2(QWidget* parent = nullptr, UrlOpener opener = {});

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  QWidget* Panel1 = nullptr;
  QLabel* ProgramIcon = nullptr;
  QLabel* ProductName = nullptr;
  QLabel* Image1 = nullptr;
  TcwHyperLink* cwHyperLink1 = nullptr;
  TcwHyperLink* cwHyperLink3 = nullptr;
  TcwHyperLink* cwHyperLink2 = nullptr;
  QPushButton* OKButton = nullptr;
};

}  // namespace tolvarine
