#pragma once
// A temporary folder for one test, removed with everything in it at the end.
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>

#include <stdlib.h>
#include <sys/stat.h>

namespace tolvarine::testing {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tolvarine-base-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern + "/";
  }
  ~TempFolder() {
    std::error_code ignored;
    // Give back write permission a test may have taken away, so the removal succeeds.
    for (auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored)) {
      if (entry.is_directory(ignored)) chmod(entry.path().c_str(), 0700);
    }
    chmod(path_.c_str(), 0700);
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder, ending with "/".
  const std::string& path() const { return path_; }
  std::string File(std::string_view name) const { return path_ + std::string(name); }
  // Writes a file with the given bytes and returns its path.
  std::string Write(std::string_view name, std::string_view bytes) const {
    std::string file = File(name);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) throw std::runtime_error("cannot write " + file);
    return file;
  }

 private:
  std::string path_;
};

}  // namespace tolvarine::testing
