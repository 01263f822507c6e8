#include "tests/faults/small_disk.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace tolvarine::testing {

namespace {

constexpr const char* kFiller = ".filler";
constexpr std::size_t kPage = 4096;

bool WriteProcFile(const char* path, const std::string& text) {
  const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
  ::close(fd);
  return ok;
}

// Moves this process into a mount namespace of its own whose mounts do not propagate back.
// Done once; the process must have a single thread then.
const std::string& EnterPrivateMounts() {
  static const std::string failure = [] {
    if (::unshare(CLONE_NEWNS) != 0) {
      // Without the right to mount, a user namespace of its own gives it.
      const std::string uid = std::to_string(::geteuid());
      const std::string gid = std::to_string(::getegid());
      if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
        return std::string("cannot enter a mount namespace: ") + std::strerror(errno);
      WriteProcFile("/proc/self/setgroups", "deny");
      if (!WriteProcFile("/proc/self/uid_map", "0 " + uid + " 1") ||
          !WriteProcFile("/proc/self/gid_map", "0 " + gid + " 1"))
        return std::string("cannot map the user namespace: ") + std::strerror(errno);
    }
    if (::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
      return std::string("cannot make the mounts private: ") + std::strerror(errno);
    return std::string();
  }();
  return failure;
}

}  // namespace

bool SmallDisk::Supported(std::string* why) {
  const std::string& failure = EnterPrivateMounts();
  if (!failure.empty()) {
    if (why) *why = failure;
    return false;
  }
  // The kernel may still refuse tmpfs (some sandboxes): try one.
  TempFolder probe;
  if (::mount("tolvarine-probe", probe.Path().c_str(), "tmpfs", 0, "size=16k") != 0) {
    if (why) *why = std::string("cannot mount a tmpfs: ") + std::strerror(errno);
    return false;
  }
  ::umount2(probe.Path().c_str(), MNT_DETACH);
  return true;
}

SmallDisk::SmallDisk(std::size_t bytes) {
  std::string why;
  if (!Supported(&why)) throw std::runtime_error(why);
  const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
  if (::mount("tolvarine-small-disk", Path().c_str(), "tmpfs", 0, options.c_str()) != 0)
    throw std::runtime_error(std::string("mount: ") + std::strerror(errno));
  mounted_ = true;
}

SmallDisk::~SmallDisk() {
  if (mounted_) ::umount2(Path().c_str(), MNT_DETACH);
}

void SmallDisk::Fill(std::size_t leave) {
  const std::string path = PathOf(kFiller);
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) throw std::runtime_error("cannot create the filler");
  const std::string chunk(kPage, 'f');
  while (::write(fd, chunk.data(), chunk.size()) > 0) {
  }
  const int err = errno;
  const off_t size = ::lseek(fd, 0, SEEK_END);
  if (err != ENOSPC) {
    ::close(fd);
    throw std::runtime_error(std::string("filling stopped early: ") + std::strerror(err));
  }
  const off_t keep = size - static_cast<off_t>(leave / kPage * kPage);
  const int truncated = ::ftruncate(fd, keep < 0 ? 0 : keep);
  ::close(fd);
  if (truncated != 0) throw std::runtime_error("cannot shrink the filler");
}

void SmallDisk::Free() { ::unlink(PathOf(kFiller).c_str()); }

void SmallDisk::SetReadOnly(bool readOnly) {
  const unsigned long flags = MS_REMOUNT | (readOnly ? MS_RDONLY : 0);
  if (::mount(nullptr, Path().c_str(), nullptr, flags, nullptr) != 0)
    throw std::runtime_error(std::string("remount: ") + std::strerror(errno));
}

std::map<std::string, std::string> SmallDisk::Files() const {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(Path())) {
    const std::string name = entry.path().filename().string();
    if (name == kFiller) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    files[name] = std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  return files;
}

}  // namespace tolvarine::testing
