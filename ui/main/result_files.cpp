#include "ui/main/result_files.h"

#include "base/atomic_file.h"
#include "base/text_writer.h"

namespace tolvarine {

std::string LinksFileBeside(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const size_t dot = path.find_last_of('.');
  // A dot that starts the name (".hidden") is not an extension.
  if (dot == std::string::npos || dot <= nameStart) return path + "_links";
  return path.substr(0, dot) + "_links" + path.substr(dot);
}

std::vector<std::string> SaveResultFiles(const std::string& path, const ResultList& phones,
                                         const ResultList& links) {
  std::vector<std::string> written;
  ReplaceFileAtomically(path, JoinCrlf(phones.Rows()));
  written.push_back(path);
  // Written also when empty, so an older links file never stays beside the new phones.
  const std::string linksPath = LinksFileBeside(path);
  ReplaceFileAtomically(linksPath, JoinCrlf(links.Rows()));
  written.push_back(linksPath);
  return written;
}

}  // namespace tolvarine
