#pragma once
// Environment the web engine needs before the application object exists.

namespace tolvarine {

// Turns the web engine's sandbox off when running as root (it refuses to start otherwise),
// saying so once on standard error.
void PrepareWebEngine();

}  // namespace tolvarine
