#pragma once
// Safe replacement of a file: the bytes go to a temporary file beside it, which is
// flushed, synced and renamed over the old one. A failure leaves the old file whole.
#include <string>
#include <string_view>

namespace tolvarine {

// Replaces (or creates) the file at a file-system path with the given bytes.
// Throws InOutError with the text-file code on failure; the old file is then untouched.
void ReplaceFileAtomically(const std::string& path, std::string_view bytes);

// The whole content of a file. Throws InOutError on failure.
std::string ReadWholeFile(const std::string& path);

bool FileExists(const std::string& path);

}  // namespace tolvarine
