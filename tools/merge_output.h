#pragma once
// The merge's output file, written so that a failure cannot cost an earlier file of that
// name its content: the lines go to a temporary file in the output's folder, which replaces
// the output only once it was written whole. This matters most when the output is one of
// the inputs (merging new lines into a master list).
#include <functional>
#include <string>

#include "base/text_writer.h"

namespace tolvarine {

// Creates a temporary file beside outputPath (beside the file it leads to, when it is a
// symbolic link), lets writeLines write to it, then renames it over that file, keeping the
// old file's permissions. A special file (a device, a pipe) is written in place instead.
// On failure the temporary file is removed and the output is untouched. Throws
// FileCreateError (the GBK name of outputPath) when the file cannot be created or put in
// place, StreamWriteError when a write fails; writeLines reports write failures by throwing
// InOutError, as TextWriter does.
void WriteOutputFile(const std::string& outputPath,
                     const std::function<void(TextWriter&)>& writeLines);

}  // namespace tolvarine
