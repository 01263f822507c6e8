#include "engine/state_file_names.h"

#include "base/number_text.h"
#include "base/state_folder.h"
#include "engine/crawl_texts.h"

namespace tolvarine {

StateFileNames StateFileNamesFor(bool sharded, int index, int count) {
  if (!sharded) return {texts::kProgressFileName, "tolvarine-crawl.db", kStateLockName};
  const std::string of = IntToStr(index) + "-of-" + IntToStr(count);
  return {"tolvarine-shard-" + of + ".ini", "tolvarine-crawl-" + of + ".db",
          "tolvarine-shard-" + of + ".lock"};
}

}  // namespace tolvarine
