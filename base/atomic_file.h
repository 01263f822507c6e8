#pragma once
// Safe replacement of a file: the bytes go to a temporary file beside it, which is written,
// flushed, synced to the disk, closed and renamed over the old one; then the folder is
// synced, so the rename itself survives a crash. A failure before the rename leaves the old
// file whole and removes the temporary file.
#include <functional>
#include <string>
#include <string_view>

#include "base/errors.h"
#include "base/platform/file_system.h"

namespace tolvarine {

// The steps of a replacement, in the order they are taken.
enum class ReplaceStep { Create, Write, Flush, Sync, Close, Rename, SyncFolder };

// A replacement that failed at a step: an InOutError with the text-file code of the
// system's error.
class ReplaceFileError : public InOutError {
 public:
  ReplaceFileError(ReplaceStep step, int systemError);
  ReplaceStep step() const { return step_; }

 private:
  ReplaceStep step_;
};

// The new content of a file being replaced. Write failures throw ReplaceFileError.
class FileContent {
 public:
  FileContent(platform::FileSystem& files, platform::FileSystem::Handle file)
      : files_(files), file_(file) {}
  void Write(std::string_view bytes);
  // The line followed by CR LF.
  void WriteLine(std::string_view line);

 private:
  platform::FileSystem& files_;
  platform::FileSystem::Handle file_;
};

// Replaces (or creates) the file at a file-system path with what `write` writes. The new
// file keeps the permissions of the file it replaces. A link is followed: the file it names
// is replaced and the link stays. A device or a pipe (or a link that names no file yet) is
// written in place, as there is nothing to rename over it. Throws ReplaceFileError; an
// exception from `write` passes through after the temporary file is removed.
void ReplaceFile(const std::string& path, const std::function<void(FileContent&)>& write,
                 platform::FileSystem& files = platform::SystemFileSystem());

// Replaces (or creates) the file at a file-system path with the given bytes.
// Throws InOutError with the text-file code on failure; the old file is then untouched.
void ReplaceFileAtomically(const std::string& path, std::string_view bytes);

// The whole content of a file. Throws InOutError on failure.
std::string ReadWholeFile(const std::string& path);

bool FileExists(const std::string& path);

}  // namespace tolvarine
