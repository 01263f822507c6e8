#pragma once
// The "保存" command's files: the phone list goes to the chosen file, one number per line,
// and the link list to a second file beside it, named with "_links" before the extension
// (both always written, an empty list as an empty file). GBK bytes, CR LF after every line,
// each file replaced atomically. To a name ending in ".csv" (any letter case) both files
// are CSV instead: a "value,page,time" header, then each row with where it was found, and
// the numbers' places when asked for.
#include <string>
#include <vector>

#include "engine/number_info.h"
#include "engine/result_list.h"

namespace tolvarine {

// "out.txt" -> "out_links.txt"; "out" -> "out_links" (a file-system path).
std::string LinksFileBeside(const std::string& path);
// The walk report saved with the lists: "out.txt" -> "out_report.html"; "out" ->
// "out_report.html".
std::string ReportFileBeside(const std::string& path);

// Writes the files; returns the paths written, the chosen file first. Throws on failure
// (a file already written stays written; the failing one keeps its old content). With
// places, a CSV phone file gives each number's province, city and carrier, and with
// found-in (structured data read) how each number was found.
std::vector<std::string> SaveResultFiles(const std::string& path, const ResultList& phones,
                                         const ResultList& links,
                                         const NumberInfo* places = nullptr,
                                         bool withFoundIn = false);

}  // namespace tolvarine
