#include "tools/merge_output.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/errors.h"
#include "base/file_names.h"

namespace tolvarine {

namespace {

// Removes the temporary file unless it was put in place.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
  ~TemporaryFile() {
    if (!placed_) ::unlink(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  const std::string& Path() const { return path_; }
  void Placed() { placed_ = true; }

 private:
  std::string path_;
  bool placed_ = false;
};

// A name beside target that no file has yet.
std::string FreeNameBeside(const std::string& target) {
  static std::atomic<unsigned> counter{0};
  struct stat info {};
  std::string name;
  do {
    name = target + "." + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
  } while (::lstat(name.c_str(), &info) == 0);
  return name;
}

// Creates the file at path and writes the lines to it; the failures carry the output's
// name as the user gave it.
void WriteLinesTo(const std::string& path, const std::string& outputPath,
                  const std::function<void(TextWriter&)>& writeLines) {
  std::unique_ptr<TextWriter> writer;
  try {
    writer = std::make_unique<TextWriter>(path);
  } catch (const InOutError&) {
    throw FileCreateError(GbkFileName(outputPath));
  }
  try {
    writeLines(*writer);
    writer->Close();
  } catch (const InOutError&) {
    throw StreamWriteError();
  }
}

// Data written through stdio reaches the disk before the rename makes it the output.
bool SyncToDisk(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0 || errno == EINVAL;
  ::close(fd);
  return synced;
}

}  // namespace

void WriteOutputFile(const std::string& outputPath,
                     const std::function<void(TextWriter&)>& writeLines) {
  std::string target = outputPath;
  struct stat old {};
  const bool exists = ::stat(outputPath.c_str(), &old) == 0;
  struct stat link {};
  const bool isLink = ::lstat(outputPath.c_str(), &link) == 0 && S_ISLNK(link.st_mode);
  if (isLink) {
    char* resolved = ::realpath(outputPath.c_str(), nullptr);
    if (resolved) {
      target = resolved;
      std::free(resolved);
    }
  }
  // A device or a pipe cannot be replaced by a file, nor can a link that leads nowhere yet
  // (writing through it creates the file it names).
  if ((exists && !S_ISREG(old.st_mode)) || (isLink && target == outputPath)) {
    WriteLinesTo(outputPath, outputPath, writeLines);
    return;
  }

  TemporaryFile temporary(FreeNameBeside(target));
  WriteLinesTo(temporary.Path(), outputPath, writeLines);
  if (!SyncToDisk(temporary.Path())) throw StreamWriteError();
  if (exists) ::chmod(temporary.Path().c_str(), old.st_mode & 07777);
  if (::rename(temporary.Path().c_str(), target.c_str()) != 0)
    throw FileCreateError(GbkFileName(outputPath));
  temporary.Placed();
}

}  // namespace tolvarine
