#include "ui/main/result_files.h"

#include <string_view>

#include "base/ascii.h"
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
  return path.size() >= kCsv.size() &&
         EqualsIgnoringAsciiCase(std::string_view(path).substr(path.size() - kCsv.size()), kCsv);
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
                                         const ResultList& links, const NumberInfo* places,
                                         bool withFoundIn) {
  const RecordFormat format = EndsWithCsv(path) ? RecordFormat::Csv : RecordFormat::Plain;
  std::vector<std::string> written;
  // Only records have room for a number's place.
  ReplaceFileAtomically(
      path, ResultListText(phones, format, format == RecordFormat::Csv ? places : nullptr,
                           withFoundIn));
  written.push_back(path);
  // Written also when empty, so an older links file never stays beside the new phones.
  const std::string linksPath = LinksFileBeside(path);
  ReplaceFileAtomically(linksPath, ResultListText(links, format));
  written.push_back(linksPath);
  return written;
}

}  // namespace tolvarine
