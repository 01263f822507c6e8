#include "base/platform/display.h"

#include <xcb/xcb.h>

namespace tolvarine::platform {

bool DisplayReachable(const std::string& display) {
  if (display.empty()) return false;
  xcb_connection_t* connection = xcb_connect(display.c_str(), nullptr);
  const bool connected = xcb_connection_has_error(connection) == 0;
  xcb_disconnect(connection);
  return connected;
}

}  // namespace tolvarine::platform
