#pragma once
// File names: GBK inside the system, the file system's encoding (UTF-8) when opened.
#include <string>

namespace tolvarine {

// The file-system path for a GBK file name. When no file has exactly that name, a file in
// the same folder whose name matches ignoring ASCII letter case is taken (names are stored
// lowered); when none matches either, the converted name is returned as it is.
std::string FileSystemPath(const std::string& gbkName);

// The GBK name of a file-system path.
std::string GbkFileName(const std::string& fileSystemPath);

}  // namespace tolvarine
