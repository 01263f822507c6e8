#pragma once
// The file-system calls the program makes that differ between operating systems: the steps
// of a durable file replacement, and what a path names. Each call returns 0 or the system's
// error number (errno values); none throws.
#include <cstddef>
#include <cstdio>
#include <string>

namespace tolvarine::platform {

// What a path names, links not followed.
enum class PathKind { Missing, RegularFile, Folder, Link, Other };

class FileSystem {
 public:
  using Handle = void*;

  virtual ~FileSystem() = default;

  // A new file opened for buffered writing; fails with EEXIST when the path exists.
  virtual int CreateNew(const std::string& path, Handle& file) = 0;
  // A file opened for buffered writing in place, emptied first, created when missing (a
  // device, a pipe, the file a dangling link names).
  virtual int OpenInPlace(const std::string& path, Handle& file) = 0;
  // Adds the bytes to the file's buffer (which writes out what does not fit).
  virtual int Write(Handle file, const char* bytes, std::size_t size) = 0;
  // Hands the buffer to the system.
  virtual int Flush(Handle file) = 0;
  // Waits until the system has the file's data on the disk.
  virtual int Sync(Handle file) = 0;
  // Closes the file; the handle is gone even when this fails.
  virtual int Close(Handle file) = 0;
  // Gives an open file the permission bits of another file.
  virtual int CopyPermissions(const std::string& from, Handle file) = 0;
  // Puts `from` in the place of `to`, replacing it in one step.
  virtual int Rename(const std::string& from, const std::string& to) = 0;
  // Waits until the folder's entries (a rename in it) are on the disk.
  virtual int SyncFolder(const std::string& folder) = 0;
  virtual int Remove(const std::string& path) = 0;

  virtual PathKind KindOf(const std::string& path) = 0;
  // The file a link leads to, as an absolute path without links; empty when it leads to
  // nothing that exists.
  virtual std::string LinkedFile(const std::string& path) = 0;
};

// The operating system's file system.
FileSystem& SystemFileSystem();

// std::fopen with the mode given ("rb", "wb") and, where the system has it, the flag that
// keeps the file from programs this one starts.
std::FILE* OpenStream(const std::string& path, const char* mode);

// A number unique to this process among the processes running now.
unsigned long ProcessNumber();

}  // namespace tolvarine::platform
