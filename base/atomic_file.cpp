#include "base/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace tolvarine {

namespace {

using platform::FileSystem;
using platform::PathKind;

[[noreturn]] void Fail(ReplaceStep step, int err) { throw ReplaceFileError(step, err); }

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Creates a new temporary file beside the target; its name is the target's plus a suffix
// unique to this process and call.
FileSystem::Handle CreateTemporary(FileSystem& files, const std::string& target,
                                   std::string& tempPath) {
  static std::atomic<unsigned> counter{0};
  int err = EEXIST;
  for (int attempt = 0; attempt < 100 && err == EEXIST; ++attempt) {
    tempPath = target + "." + std::to_string(platform::ProcessNumber()) + "-" +
               std::to_string(counter++) + ".tmp";
    FileSystem::Handle file = nullptr;
    err = files.CreateNew(tempPath, file);
    if (err == 0) return file;
  }
  Fail(ReplaceStep::Create, err);
}

// Writes, flushes, syncs and closes an open file; on failure the file is closed all the same.
void WriteAndClose(FileSystem& files, FileSystem::Handle file,
                   const std::function<void(FileContent&)>& write) {
  try {
    FileContent content(files, file);
    write(content);
    if (int err = files.Flush(file)) Fail(ReplaceStep::Flush, err);
    if (int err = files.Sync(file)) Fail(ReplaceStep::Sync, err);
  } catch (...) {
    files.Close(file);
    throw;
  }
  if (int err = files.Close(file)) Fail(ReplaceStep::Close, err);
}

}  // namespace

ReplaceFileError::ReplaceFileError(ReplaceStep step, int systemError)
    : InOutError(InOutCodeFromErrno(systemError ? systemError : EIO)), step_(step) {}

void FileContent::Write(std::string_view bytes) {
  if (bytes.empty()) return;
  if (int err = files_.Write(file_, bytes.data(), bytes.size())) Fail(ReplaceStep::Write, err);
}

void FileContent::WriteLine(std::string_view line) {
  Write(line);
  Write("\r\n");
}

void ReplaceFile(const std::string& path, const std::function<void(FileContent&)>& write,
                 FileSystem& files) {
  std::string target = path;
  PathKind kind = files.KindOf(path);
  if (kind == PathKind::Link) {
    const std::string linked = files.LinkedFile(path);
    // A link that names no file yet: writing through it creates that file.
    kind = linked.empty() ? PathKind::Other : files.KindOf(linked);
    if (!linked.empty()) target = linked;
  }
  if (kind == PathKind::Other) {
    FileSystem::Handle file = nullptr;
    if (int err = files.OpenInPlace(target, file)) Fail(ReplaceStep::Create, err);
    WriteAndClose(files, file, write);
    return;
  }

  std::string tempPath;
  FileSystem::Handle file = CreateTemporary(files, target, tempPath);
  try {
    // The new file is as private as the one it replaces. Some file systems keep no
    // permissions; the replacement goes on there.
    if (kind == PathKind::RegularFile) files.CopyPermissions(target, file);
    WriteAndClose(files, file, write);
    if (int err = files.Rename(tempPath, target)) Fail(ReplaceStep::Rename, err);
  } catch (...) {
    files.Remove(tempPath);
    throw;
  }
  if (int err = files.SyncFolder(FolderOf(target))) Fail(ReplaceStep::SyncFolder, err);
}

void ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
  ReplaceFile(path, [bytes](FileContent& content) { content.Write(bytes); });
}

std::string ReadWholeFile(const std::string& path) {
  errno = 0;
  std::FILE* file = platform::OpenStream(path, "rb");
  if (!file) throw InOutError(InOutCodeFromErrno(errno ? errno : EIO));
  std::string content;
  std::error_code sizeUnknown;
  const auto size = std::filesystem::file_size(path, sizeUnknown);
  if (!sizeUnknown) content.reserve(static_cast<std::size_t>(size));
  char buffer[64 * 1024];
  for (;;) {
    errno = 0;
    const std::size_t got = std::fread(buffer, 1, sizeof buffer, file);
    content.append(buffer, got);
    if (got == sizeof buffer) continue;
    if (std::ferror(file)) {
      const int err = errno ? errno : EIO;
      std::fclose(file);
      throw InOutError(InOutCodeFromErrno(err));
    }
    break;
  }
  std::fclose(file);
  return content;
}

bool FileExists(const std::string& path) {
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  return !error && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

}  // namespace tolvarine
