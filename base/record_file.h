#pragma once
// The files a walk writes record by record as it goes (result rows, page logs): a new walk
// empties the file, a continued one adds to it, first ending a record cut short by a killed
// process, so the next record does not run into it. The header goes into an empty file
// only. Each record is flushed as it is written, so a kill loses at most the one in hand.
#include <cstdio>
#include <string>
#include <string_view>

namespace tolvarine {

// Opens the file (adding: a continued walk's); `header` (with its line end) is written when
// the file is empty, `lineEnd` ends a record cut short. Throws FileCreateError, naming the
// file, or StreamWriteError.
std::FILE* OpenRecordFile(const std::string& path, bool adding, std::string_view header,
                          const char* lineEnd);

// Writes one record and its line end, flushed; throws StreamWriteError.
void WriteRecord(std::FILE* file, std::string_view record, const char* lineEnd);

}  // namespace tolvarine
