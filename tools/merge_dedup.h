#pragma once
// Merge and dedup: several text files joined into one file holding every distinct line once,
// in ascending order under the case-ignoring collation of the user's locale.
//
// Lines come from Line splitting (CR LF, lone CR, lone LF end a line; nothing after a NUL).
// Among lines that compare equal the first one met wins (files in the given order, lines in
// file order); its bytes are written unchanged, each followed by CR LF. A line that is not
// valid GBK is only ever a duplicate of a byte-identical line: where the collation ties it
// with a different line, the raw bytes decide, so no data is dropped because decoding made
// two lines look alike.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/collation.h"

namespace tolvarine {

struct MergeStats {
  std::size_t linesRead = 0;     // lines of all inputs together
  std::size_t linesWritten = 0;  // distinct lines in the output
};

// The distinct lines of the texts (in order), ascending, first form met wins. The views
// point into texts, which must outlive the result. Throws OutOfMemoryError.
std::vector<std::string_view> DistinctSortedLines(const std::vector<std::string>& texts,
                                                  const CaseIgnoringCollator& collator);

// Reads every input whole (file-system paths, in order), then writes the result to the
// output (replacing a file of that name). Runs on the caller's thread, which waits for a
// helper thread that computes half of the sort keys. Memory: the inputs, 8 bytes a line, and
// a sort key and 24 bytes for each line whose bytes were not met before. The output is
// written only after every input has been read, so it may be one of the inputs; it is
// written to a temporary file beside it that replaces it only when written whole (see
// WriteOutputFile), so any failure leaves an earlier output file untouched; the disk needs
// room for the whole output beside the old file while it is written.
// Throws FileOpenError("Cannot open file <name>") for an input that cannot be read,
// FileCreateError("Cannot create file <name>") for the output, StreamWriteError for a write
// that does not complete, OutOfMemoryError when memory runs out. Names in messages are the
// GBK forms of the paths (GbkFileName).
// onProgress, when given, is told how far the work is: step "file" after each input read
// (done of the number of inputs), then step "line" as the output is written (every
// 4,096th line and the last, done of the distinct lines).
using MergeProgress = std::function<void(const char* step, std::size_t done, std::size_t total)>;
MergeStats MergeAndDedupFiles(const std::vector<std::string>& inputPaths,
                              const std::string& outputPath,
                              const CaseIgnoringCollator& collator = UserCollator(),
                              const MergeProgress& onProgress = {});

}  // namespace tolvarine
