#pragma once
// The merge's output file, written through the one safe replacement of base/ (see
// ReplaceFile), so that a failure cannot cost an earlier file of that name its content. This
// matters most when the output is one of the inputs (merging new lines into a master list).
#include <functional>
#include <string>

#include "base/atomic_file.h"

namespace tolvarine {

// Replaces the file at outputPath with the lines writeLines writes (each followed by CR LF),
// keeping the old file's permissions; a link is followed, a device or a pipe is written in
// place. On failure the old file is untouched. Throws FileCreateError (the GBK name of
// outputPath) when the file cannot be created or put in place, StreamWriteError when a
// write, flush or sync fails.
void WriteOutputFile(const std::string& outputPath,
                     const std::function<void(FileContent&)>& writeLines);

}  // namespace tolvarine
