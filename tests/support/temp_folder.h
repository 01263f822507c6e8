#pragma once
// A fresh folder under the system's temporary folder, removed with everything in it when
// the object goes.
#include <string>
#include <string_view>

namespace tolvarine::testing {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // The folder, with a trailing "/".
  const std::string& Path() const { return path_; }
  std::string PathOf(std::string_view name) const { return path_ + std::string(name); }
  // Writes a file's bytes (replacing it) and returns its path.
  std::string Write(std::string_view name, std::string_view bytes) const;
  std::string Read(std::string_view name) const;
  bool Exists(std::string_view name) const;

 private:
  std::string path_;
};

// The bytes of the file at a path; throws when it cannot be read.
std::string FileBytes(const std::string& path);

// Whether a file or a folder exists at the path (links followed).
bool PathExists(const std::string& path);

}  // namespace tolvarine::testing
