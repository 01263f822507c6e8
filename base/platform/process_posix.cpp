// The process and its user on POSIX systems (the executable's path as Linux gives it).
#include "base/platform/process.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <pwd.h>
#include <unistd.h>

namespace tolvarine::platform {

std::string ExecutablePath() {
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string() : exe.string();
}

namespace {

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home && *home) return home;
  if (const passwd* entry = getpwuid(getuid())) {
    if (entry->pw_dir) return entry->pw_dir;
  }
  return "/tmp";
}

}  // namespace

// $XDG_DATA_HOME, or ~/.local/share; only an absolute path counts, as the base directory
// rules ask.
std::string UserDataFolder() {
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  if (dataHome && dataHome[0] == '/') return dataHome;
  std::string home = HomeFolder();
  if (home.empty() || home.back() != '/') home += '/';
  return home + ".local/share";
}

// From the environment, as POSIX programs take it: "zh_CN.UTF-8@x" -> "zh_CN".
std::string UserCollationLocale() {
  for (const char* name : {"LC_ALL", "LC_COLLATE", "LANG"}) {
    const char* value = std::getenv(name);
    if (value && *value) {
      std::string locale(value);
      const std::size_t cut = locale.find_first_of(".@");
      if (cut != std::string::npos) locale.resize(cut);
      return locale;
    }
  }
  return {};
}

bool CanWriteTo(const std::string& folder) { return access(folder.c_str(), W_OK) == 0; }

}  // namespace tolvarine::platform
