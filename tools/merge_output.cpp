#include "tools/merge_output.h"

#include "base/errors.h"
#include "base/file_names.h"

namespace tolvarine {

void WriteOutputFile(const std::string& outputPath,
                     const std::function<void(FileContent&)>& writeLines) {
  try {
    ReplaceFile(outputPath, writeLines);
  } catch (const ReplaceFileError& e) {
    if (e.step() == ReplaceStep::Create || e.step() == ReplaceStep::Rename)
      throw FileCreateError(GbkFileName(outputPath));
    throw StreamWriteError();
  }
}

}  // namespace tolvarine
