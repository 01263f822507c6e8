#pragma once
// The about box: Product name and version, the maker's logo and credit line,
// and three hyperlink labels (home page, a second web address, a mail contact). OK (or
// Enter) closes it; Escape does not. The same window is shown again on every About.

#include "ui/side/hyperlink_label.h"
#include "ui/side/side_look.h"

class QLabel;
class QPushButton;

namespace tolvarine {

class AboutBox : public SideDialog {
  Q_OBJECT

 public:
  // opener: how the hyperlink labels open their addresses; empty means the desktop.
  explicit AboutBox(QWidget* parent = nullptr, UrlOpener opener = {});

 private:
  QWidget* panel_ = nullptr;
  QLabel* makerLogo_ = nullptr;
  QLabel* productName_ = nullptr;
  QLabel* creditLine_ = nullptr;
  HyperlinkLabel* homePageLink_ = nullptr;
  HyperlinkLabel* productPageLink_ = nullptr;
  HyperlinkLabel* contactLink_ = nullptr;
  QPushButton* okButton_ = nullptr;
};

}  // namespace tolvarine
