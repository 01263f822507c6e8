#include "base/file_names.h"

#include <dirent.h>
#include <sys/stat.h>

#include "base/gbk.h"

namespace tolvarine {

namespace {

std::string LowerAscii(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

bool Exists(const std::string& path) {
  struct stat info {};
  return lstat(path.c_str(), &info) == 0;
}

}  // namespace

std::string FileSystemPath(const std::string& gbkName) {
  std::string path = GbkToUtf8(gbkName);
  if (path.empty() || Exists(path)) return path;

  std::size_t slash = path.rfind('/');
  std::string prefix = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
  std::string name = path.substr(prefix.size());
  if (name.empty() || name == "." || name == "..") return path;

  DIR* dir = opendir(prefix.empty() ? "." : prefix.c_str());
  if (!dir) return path;
  const std::string wanted = LowerAscii(name);
  // Of several matches the bytewise smallest name is taken, so the choice does not depend
  // on the order in which the folder lists its entries.
  std::string best;
  while (const dirent* entry = readdir(dir)) {
    std::string candidate = entry->d_name;
    if (LowerAscii(candidate) == wanted && (best.empty() || candidate < best)) best = candidate;
  }
  closedir(dir);
  return best.empty() ? path : prefix + best;
}

std::string GbkFileName(const std::string& fileSystemPath) { return Utf8ToGbk(fileSystemPath); }

}  // namespace tolvarine
