#pragma once
// Small helpers shared by the fuzz targets: a check that stops the run with a message, the
// cutting of one input into several parts, and a scratch folder for targets that need files.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tolvarine::fuzz {

// Prints the failed condition and aborts, so libFuzzer (or the replay run) reports the input.
[[noreturn]] void Fail(const char* condition, const char* file, int line);

#define FUZZ_CHECK(condition) \
  ((condition) ? (void)0 : ::tolvarine::fuzz::Fail(#condition, __FILE__, __LINE__))

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// The parts of an input separated by two record-separator bytes (0x1E 0x1E); at most
// maxParts parts, the last one keeping the rest of the input.
std::vector<std::string_view> SplitParts(std::string_view data, std::size_t maxParts);

// A folder of this process in /dev/shm (else the system's temporary folder), created on
// first use, with a trailing "/". Removed when the process ends normally.
const std::string& ScratchFolder();

// Writes bytes to a file of the scratch folder (replacing it) and returns its path.
std::string WriteScratchFile(const std::string& name, std::string_view bytes);

}  // namespace tolvarine::fuzz
