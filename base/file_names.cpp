#include "base/file_names.h"

#include <filesystem>
#include <system_error>

#include "base/ascii.h"
#include "base/gbk.h"

namespace tolvarine {

namespace {

bool Exists(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

// The entry of a folder whose name matches `name` ignoring ASCII letter case; empty when
// none does. Of several matches the bytewise smallest name is taken, so the choice does
// not depend on the order in which the folder lists its entries.
std::string MatchIgnoringCase(const std::string& folder, const std::string& name) {
  const std::string wanted = AsciiLowered(name);
  std::string best;
  std::error_code error;
  for (std::filesystem::directory_iterator entry(folder.empty() ? "." : folder, error), end;
       !error && entry != end; entry.increment(error)) {
    std::string candidate = entry->path().filename().string();
    if (AsciiLowered(candidate) == wanted && (best.empty() || candidate < best)) best = candidate;
  }
  return best;
}

}  // namespace

// Names are stored lowered, folders included, so every part of the path that does not
// exist as written is looked up ignoring case in the folder found so far.
std::string FileSystemPath(const std::string& gbkName) {
  std::string path = GbkToUtf8(gbkName);
  if (path.empty() || Exists(path)) return path;

  std::string resolved = path[0] == '/' ? "/" : "";
  std::size_t pos = resolved.size();
  while (pos < path.size()) {
    const std::size_t slash = path.find('/', pos);
    const std::size_t end = slash == std::string::npos ? path.size() : slash;
    const std::string name = path.substr(pos, end - pos);
    pos = end + 1;
    if (name.empty()) continue;
    std::string part = name;
    if (name != "." && name != ".." && !Exists(resolved + name)) {
      part = MatchIgnoringCase(resolved, name);
      if (part.empty()) return path;
    }
    resolved += part;
    if (slash != std::string::npos) resolved += '/';
  }
  return resolved;
}

std::string GbkFileName(const std::string& fileSystemPath) { return Utf8ToGbk(fileSystemPath); }

}  // namespace tolvarine
