#include "base/record_file.h"

#include "base/errors.h"
#include "base/file_names.h"
#include "base/platform/file_system.h"

namespace tolvarine {

std::FILE* OpenRecordFile(const std::string& path, bool adding, std::string_view header,
                          const char* lineEnd) {
  std::FILE* file = platform::OpenStream(path, adding ? "ab+" : "wb");
  if (!file) throw FileCreateError(GbkFileName(path));
  try {
    // An empty file has no last byte to read back.
    const bool empty = !adding || std::fseek(file, -1, SEEK_END) != 0;
    if (!empty) {
      const bool cutShort = std::fgetc(file) != '\n';
      std::fseek(file, 0, SEEK_END);
      if (cutShort) WriteRecord(file, "", lineEnd);
    }
    if (empty && !header.empty()) WriteRecord(file, header, "");
  } catch (...) {
    std::fclose(file);
    throw;
  }
  return file;
}

void WriteRecord(std::FILE* file, std::string_view record, const char* lineEnd) {
  if (std::fwrite(record.data(), 1, record.size(), file) != record.size() ||
      std::fputs(lineEnd, file) == EOF || std::fflush(file) != 0)
    throw StreamWriteError();
}

}  // namespace tolvarine
