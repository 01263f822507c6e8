#pragma once
// The standard error dialog for widgets that have no dialog seam of their own (the
// hyperlink label): a guard sink that shows a failure's message in a modal box.
#include "base/guard.h"

class QWidget;

namespace tolvarine {

// Shows a failure's GBK message, with the full-stop rule applied, in the standard error
// dialog over parent (or over nothing once parent is gone).
ErrorSink StandardErrorSink(QWidget* parent);

}  // namespace tolvarine
