#include "app/cli/web_engine_setup.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace tolvarine::cli {

void PrepareWebEngine() {
  if (geteuid() == 0 && !std::getenv("QTWEBENGINE_DISABLE_SANDBOX")) {
    setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
    std::fprintf(stderr, "tolvarine: running as root; the web engine sandbox is disabled\n");
  }
}

}  // namespace tolvarine::cli
