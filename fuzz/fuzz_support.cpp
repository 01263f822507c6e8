#include "fuzz/fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <unistd.h>

namespace tolvarine::fuzz {

void Fail(const char* condition, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, condition);
  std::abort();
}

std::vector<std::string_view> SplitParts(std::string_view data, std::size_t maxParts) {
  std::vector<std::string_view> parts;
  constexpr std::string_view kSeparator = "\x1E\x1E";
  while (parts.size() + 1 < maxParts) {
    const std::size_t at = data.find(kSeparator);
    if (at == std::string_view::npos) break;
    parts.push_back(data.substr(0, at));
    data.remove_prefix(at + kSeparator.size());
  }
  parts.push_back(data);
  return parts;
}

namespace {

struct Scratch {
  std::string path;
  Scratch() {
    namespace fs = std::filesystem;
    // Memory-backed when the system has it: the targets write files on every input.
    std::error_code err;
    const fs::path root = fs::is_directory("/dev/shm", err) ? fs::path("/dev/shm")
                                                            : fs::temp_directory_path();
    const fs::path base = root / ("tolvarine-fuzz-" + std::to_string(static_cast<long>(::getpid())));
    fs::create_directories(base);
    path = base.string() + "/";
  }
  ~Scratch() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
};

}  // namespace

const std::string& ScratchFolder() {
  static const Scratch scratch;
  return scratch.path;
}

std::string WriteScratchFile(const std::string& name, std::string_view bytes) {
  const std::string path = ScratchFolder() + name;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) Fail("scratch file written", __FILE__, __LINE__);
  return path;
}

}  // namespace tolvarine::fuzz
