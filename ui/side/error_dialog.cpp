#include "ui/side/error_dialog.h"

#include <QMessageBox>
#include <QPointer>

#include "base/errors.h"
#include "ui/qt_gbk.h"

namespace tolvarine {

void ShowStandardErrorBox(QWidget* parent, const QString& text) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("『Tolvarine』V2.1"), text,
                  QMessageBox::Ok, parent);
  box.exec();
}

ErrorSink StandardErrorSink(QWidget* parent) {
  return [owner = QPointer<QWidget>(parent)](const std::string& messageGbk) {
    ShowStandardErrorBox(owner.data(), FromGbk(ErrorDialogText(messageGbk)));
  };
}

}  // namespace tolvarine
