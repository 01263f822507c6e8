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

// Whether the process runs with the superuser's rights.
bool RunningAsRoot();

}  // namespace tolvarine::platform
