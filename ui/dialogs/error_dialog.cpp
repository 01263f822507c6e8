#include "ui/dialogs/error_dialog.h"

#include <QPointer>
#include <QWidget>

#include "base/errors.h"
#include "ui/dialogs/qt_dialogs.h"
#include "ui/qt_gbk.h"

namespace tolvarine {

ErrorSink StandardErrorSink(QWidget* parent) {
  return [owner = QPointer<QWidget>(parent)](const std::string& messageGbk) {
    QtDialogs().Error(owner.data(), FromGbk(ErrorDialogText(messageGbk)));
  };
}

}  // namespace tolvarine
