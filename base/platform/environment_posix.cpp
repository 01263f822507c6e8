#include "base/platform/environment.h"

#include <unistd.h>

#include <cstdlib>

namespace tolvarine::platform {

std::optional<std::string> GetEnvironment(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  if (!value) return std::nullopt;
  return std::string(value);
}

void SetEnvironment(const std::string& name, const std::string& value) {
  ::setenv(name.c_str(), value.c_str(), 1);
}

void UseOffscreenUnlessPlatformChosen() {
  const std::optional<std::string> chosen = GetEnvironment("QT_QPA_PLATFORM");
  if (!chosen || chosen->empty()) SetEnvironment("QT_QPA_PLATFORM", "offscreen");
}

bool RunningAsRoot() { return ::geteuid() == 0; }

}  // namespace tolvarine::platform
