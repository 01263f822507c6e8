// Runs a fuzz target over every file of the given corpus folders (or single files), so the
// seeds keep being checked in builds without libFuzzer.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

int RunFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    return 1;
  }
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <corpus folder or file>...\n", argv[0]);
    return 2;
  }
  int failures = 0;
  int ran = 0;
  for (int a = 1; a < argc; ++a) {
    const fs::path arg(argv[a]);
    std::vector<fs::path> files;
    if (fs::is_directory(arg)) {
      for (const fs::directory_entry& entry : fs::directory_iterator(arg))
        if (entry.is_regular_file()) files.push_back(entry.path());
      std::sort(files.begin(), files.end());
    } else {
      files.push_back(arg);
    }
    for (const fs::path& file : files) {
      failures += RunFile(file);
      ++ran;
    }
  }
  std::printf("%d inputs replayed\n", ran);
  return failures == 0 && ran > 0 ? 0 : 1;
}
