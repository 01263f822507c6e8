#pragma once
// The process's environment variables and the user it runs as.
#include <optional>
#include <string>

namespace tolvarine::platform {

// The value of an environment variable; nullopt when it is not set.
std::optional<std::string> GetEnvironment(const std::string& name);

// Sets an environment variable for this process and the processes it starts, replacing
// any value it had.
void SetEnvironment(const std::string& name, const std::string& value);

// For a command that shows no window: Qt's offscreen platform, unless the user has chosen
// one in QT_QPA_PLATFORM (set and not empty). Call it before the Qt application is made.
void UseOffscreenUnlessPlatformChosen();

// Whether the process runs with the superuser's rights.
bool RunningAsRoot();

}  // namespace tolvarine::platform
