// Handing over to another program on POSIX systems.
#include "base/platform/run_program.h"

#include <cerrno>

#include <unistd.h>

namespace tolvarine::platform {

int RunInstead(const std::string& path, char** argv) {
  ::execv(path.c_str(), argv);
  return errno ? errno : ENOEXEC;
}

}  // namespace tolvarine::platform
