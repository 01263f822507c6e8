#include "base/platform/memory.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace tolvarine::platform {

void ReleaseFreeMemory() {
#ifdef __GLIBC__
  malloc_trim(0);
#endif
}

}  // namespace tolvarine::platform
