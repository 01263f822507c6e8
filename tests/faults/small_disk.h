#pragma once
// A small file system of its own: a tmpfs mounted on a fresh temporary folder, inside a
// private mount namespace of this test process (nothing is seen outside it, and the mount
// goes with the process). It can be filled up or made read-only, so a full disk (ENOSPC)
// and a read-only folder (EROFS) come from the kernel as they would in use, for root too,
// whom file permissions do not stop.
#include <cstddef>
#include <map>
#include <string>
#include <string_view>

#include "tests/support/temp_folder.h"

namespace tolvarine::testing {

class SmallDisk {
 public:
  // Whether this process can mount one (as root, or else in a user namespace of its own);
  // when not, why.
  static bool Supported(std::string* why);

  explicit SmallDisk(std::size_t bytes = 256 * 1024);
  ~SmallDisk();
  SmallDisk(const SmallDisk&) = delete;
  SmallDisk& operator=(const SmallDisk&) = delete;

  // The mount point, with a trailing "/".
  const std::string& Path() const { return folder_.Path(); }
  std::string PathOf(std::string_view name) const { return folder_.PathOf(name); }
  std::string Write(std::string_view name, std::string_view bytes) const {
    return folder_.Write(name, bytes);
  }

  // Takes all free space but `leave` bytes (rounded down to whole pages) with a file
  // named ".filler"; Free() removes it.
  void Fill(std::size_t leave = 0);
  void Free();
  void SetReadOnly(bool readOnly);

  // Every file on the disk but the filler: name -> bytes.
  std::map<std::string, std::string> Files() const;

 private:
  TempFolder folder_;
  bool mounted_ = false;
};

}  // namespace tolvarine::testing
