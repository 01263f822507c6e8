#include "tests/support/temp_folder.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace tolvarine::testing {

// The name is made of lower-case letters and digits only, so that a lowered file name of
// the folder is still its exact name.
TempFolder::TempFolder() {
  static unsigned counter = 0;
  const std::string base = std::filesystem::temp_directory_path().string() + "/tolvarine-test-" +
                           std::to_string(::getpid()) + "-";
  for (int attempt = 0; attempt < 1000; ++attempt) {
    const std::string path = base + std::to_string(counter++) + "-" + std::to_string(std::rand() % 100000);
    if (::mkdir(path.c_str(), 0700) == 0) {
      path_ = path + "/";
      return;
    }
    if (errno != EEXIST) break;
  }
  throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  // Give back the write permission a test may have taken from a folder, so that the
  // removal succeeds for users other than root.
  ::chmod(path_.c_str(), 0700);
  for (std::filesystem::recursive_directory_iterator entry(path_, ignored), end;
       !ignored && entry != end; entry.increment(ignored)) {
    if (entry->is_directory(ignored) && !entry->is_symlink(ignored)) ::chmod(entry->path().c_str(), 0700);
  }
  ignored.clear();
  std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::Write(std::string_view name, std::string_view bytes) const {
  const std::string path = PathOf(name);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
  return path;
}

std::string TempFolder::Read(std::string_view name) const { return FileBytes(PathOf(name)); }

bool TempFolder::Exists(std::string_view name) const { return PathExists(PathOf(name)); }

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool PathExists(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::exists(path, ignored);
}

}  // namespace tolvarine::testing
