#include "ui/main/result_files.h"

#include <string_view>

#include "base/atomic_file.h"
#include "engine/result_records.h"

namespace tolvarine {

namespace {

// Where the name's extension starts (its dot), or the path's end when it has none.
size_t ExtensionStart(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  const size_t dot = path.find_last_of('.');
  // A dot that starts the name (".hidden") is not an extension.
  if (dot == std::string::npos || dot <= nameStart) return path.size();
  return dot;
}

bool EndsWithCsv(const std::string& path) {
  constexpr std::string_view kCsv = ".csv";
  if (path.size() < kCsv.size()) return false;
  for (std::size_t i = 0; i < kCsv.size(); ++i) {
    char c = path[path.size() - kCsv.size() + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != kCsv[i]) return false;
  }
  return true;
}

}  // namespace

std::string LinksFileBeside(const std::string& path) {
  const size_t dot = ExtensionStart(path);
  return path.substr(0, dot) + "_links" + path.substr(dot);
}

std::string ReportFileBeside(const std::string& path) {
  return path.substr(0, ExtensionStart(path)) + "_report.html";
}

std::vector<std::string> SaveResultFiles(const std::string& path, const ResultList& phones,
                                         const ResultList& links, const NumberInfo* places) {
  const RecordFormat format = EndsWithCsv(path) ? RecordFormat::Csv : RecordFormat::Plain;
  const auto content = [format](const ResultList& list) { return ResultListText(list, format); };
  std::vector<std::string> written;
  ReplaceFileAtomically(path, format == RecordFormat::Csv
                                  ? ResultListText(phones, format, places)
                                  : content(phones));
  written.push_back(path);
  // Written also when empty, so an older links file never stays beside the new phones.
  const std::string linksPath = LinksFileBeside(path);
  ReplaceFileAtomically(linksPath, content(links));
  written.push_back(linksPath);
  return written;
}

}  // namespace tolvarine
