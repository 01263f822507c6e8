#pragma once
// The progress file "tolvarine.ini" (list file name, position, total, the six options and
// the speed, ten CR LF lines) and the three list files, all in one state folder. Every file
// is replaced atomically, so a failed write leaves the previous file whole.
#include <string>
#include <string_view>

#include "engine/crawl_settings.h"

namespace tolvarine {

class ProgressFile {
 public:
  // folder: a file-system path with a trailing "/".
  explicit ProgressFile(std::string folder);
  // With a progress file of another name (a shard of the list keeps its own).
  ProgressFile(std::string folder, std::string progressName);

  std::string ProgressPath() const;
  std::string ListPath(RuleList list) const;

  // Writes the ten lines: the list file name, position, total, the option lines and the
  // speed. Throws InOutError when the file cannot be written.
  void Write(const CrawlSettings& settings, int position, int total) const;
  // Applies the file line by line as it is read, to the settings and to position and total;
  // a line that is not a number stops it with ConvertError, leaving earlier lines applied.
  // Returns false when there is no progress file.
  bool Read(CrawlSettings& settings, int& position, int& total) const;

  // Replaces each rule list whose file exists with the file's text (prefix list,
  // must-contain, must-not-contain); a file that cannot be read throws and the later ones
  // are not read. Then reads the extra options file (missing: all off).
  void LoadLists(CrawlSettings& settings) const;
  // Writes each rule list's text exactly to its file; a failed write is ignored and the
  // next one is attempted; then the extra options file.
  void SaveLists(const CrawlSettings& settings) const;

 private:
  std::string folder_;
  std::string progressName_;
};

// The progress file of shard `index` of `count` ("tolvarine-shard-2-of-8.ini"), so that
// shards sharing one state folder never write over each other's position.
std::string ShardProgressName(int index, int count);

// The ten lines of the progress file, without line ends.
std::string ProgressText(const CrawlSettings& settings, int position, int total);

// A list file's text as the field holds it: cut at the first NUL, every line end (CR LF,
// a lone CR or a lone LF) made CR LF.
std::string FieldTextFromFile(std::string_view fileText);

}  // namespace tolvarine
