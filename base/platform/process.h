#pragma once
// What the program asks the operating system about itself and its user.
#include <string>

namespace tolvarine::platform {

// The file path of the running executable; empty when the system does not tell.
std::string ExecutablePath();

// The folder where programs keep their per-user data, each in a folder of its own.
std::string UserDataFolder();

// The user's locale for sorting text, as a locale name without encoding ("zh_CN"); empty
// when the system names none.
std::string UserCollationLocale();

// Whether this process may create files in the folder.
bool CanWriteTo(const std::string& folder);

}  // namespace tolvarine::platform
