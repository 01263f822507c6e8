#include "base/state_folder.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "base/errors.h"
#include "base/platform/environment.h"
#include "base/platform/process.h"

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

// An installed copy (<prefix>/bin/tolvarine) shares its folder with other programs, so it
// keeps its state per user even where it may write there (run as root, or installed under
// a prefix in the home folder).
bool InstalledCopy(const std::string& executableFolder) {
  const std::string folder = WithSlash(executableFolder);
  return folder.size() >= 5 && folder.compare(folder.size() - 5, 5, "/bin/") == 0;
}

}  // namespace

std::string ExecutableFolder() {
  const std::string exe = platform::ExecutablePath();
  if (exe.empty()) return "./";
  return WithSlash(std::filesystem::path(exe).parent_path().string());
}

std::string StateFolderFor(const std::string& executableFolder) {
  const std::optional<std::string> chosen = platform::GetEnvironment("TOLVARINE_STATE_DIR");
  if (chosen && !chosen->empty()) return Created(*chosen);
  if (!InstalledCopy(executableFolder) && platform::CanWriteTo(executableFolder))
    return WithSlash(executableFolder);
  return Created(WithSlash(platform::UserDataFolder()) + "tolvarine");
}

std::string StateFolder() { return StateFolderFor(ExecutableFolder()); }

}  // namespace tolvarine
