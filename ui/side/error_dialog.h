#pragma once
// The standard error dialog of the side windows: a modal box captioned with the
// application's title, with the error icon and an OK button.
#include <string>

#include <QString>

#include "base/guard.h"

class QWidget;

namespace tolvarine {

// Shows the text as given.
void ShowStandardErrorBox(QWidget* parent, const QString& text);

// A guard sink that shows a failure's GBK message in the standard error dialog, with the
// full stop rule applied.
ErrorSink StandardErrorSink(QWidget* parent);

}  // namespace tolvarine
