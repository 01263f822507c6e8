#include "base/state_folder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <pwd.h>
#include <unistd.h>

#include "base/errors.h"

namespace tolvarine {

namespace {

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

// Creates the folder and its parents; throws InOutError when that fails.
std::string Created(const std::string& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) throw InOutError(InOutCodeFromErrno(error.value()));
  return WithSlash(folder);
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home && *home) return home;
  if (const passwd* entry = getpwuid(getuid())) {
    if (entry->pw_dir) return entry->pw_dir;
  }
  return "/tmp";
}

// An installed copy (<prefix>/bin/tolvarine) shares its folder with other programs, so it
// keeps its state per user even where it may write there (run as root, or installed under
// a prefix in the home folder).
bool InstalledCopy(const std::string& executableFolder) {
  const std::string folder = WithSlash(executableFolder);
  return folder.size() >= 5 && folder.compare(folder.size() - 5, 5, "/bin/") == 0;
}

}  // namespace

std::string ExecutableFolder() {
  std::error_code error;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return "./";
  return WithSlash(exe.parent_path().string());
}

std::string StateFolderFor(const std::string& executableFolder) {
  const char* chosen = std::getenv("TOLVARINE_STATE_DIR");
  if (chosen && *chosen) return Created(chosen);
  if (!InstalledCopy(executableFolder) && access(executableFolder.c_str(), W_OK) == 0)
    return WithSlash(executableFolder);
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  // Only an absolute path counts, as the base directory rules ask.
  if (dataHome && dataHome[0] == '/') return Created(WithSlash(dataHome) + "tolvarine");
  return Created(WithSlash(HomeFolder()) + ".local/share/tolvarine");
}

std::string StateFolder() { return StateFolderFor(ExecutableFolder()); }

}  // namespace tolvarine
