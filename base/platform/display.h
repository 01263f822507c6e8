#pragma once
// Whether an X display can be reached, asked the way Qt's X platform would connect.
// Built into tolvarine_platform_display, which links libxcb, so that base stays free of X.
#include <string>

namespace tolvarine::platform {

// Tells whether the X display of that name (as DISPLAY gives it) accepts a connection;
// false for an empty name.
bool DisplayReachable(const std::string& display);

}  // namespace tolvarine::platform
