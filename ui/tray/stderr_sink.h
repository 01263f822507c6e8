#pragma once
// The tray's fallback error sink: failures inside Qt signal handlers that no owner has
// asked to see go to stderr as one UTF-8 line.
#include "base/guard.h"

namespace tolvarine {

ErrorSink StderrSink();

}  // namespace tolvarine
