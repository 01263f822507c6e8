#include "tools/merge_dedup.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <exception>
#include <functional>
#include <memory>
#include <new>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "base/atomic_file.h"
#include "base/errors.h"
#include "base/file_names.h"
#include "base/gbk.h"
#include "tools/line_order.h"
#include "tools/merge_output.h"

namespace tolvarine {

namespace {

// Sort keys live in large fixed chunks: adding a key never moves the others, and the store
// never holds two copies of itself while growing (as a doubling buffer would).
class KeyStore {
 public:
  const char* Add(std::string_view key) {
    if (key.size() > left_) {
      const std::size_t size = std::max(kChunkSize, key.size());
      chunks_.push_back(std::unique_ptr<char[]>(new char[size]));  // no zero fill
      next_ = chunks_.back().get();
      left_ = size;
    }
    char* at = next_;
    if (!key.empty()) std::memcpy(at, key.data(), key.size());
    next_ += key.size();
    left_ -= key.size();
    return at;
  }

 private:
  static constexpr std::size_t kChunkSize = std::size_t{4} << 20;
  std::vector<std::unique_ptr<char[]>> chunks_;
  char* next_ = nullptr;
  std::size_t left_ = 0;
};

// All lines of the texts, in order.
LineTable CollectLines(const std::vector<std::string>& texts) {
  LineTable lines;
  for (const std::string& text : texts) lines.AddText(text);
  return lines;
}

// Marks the lines whose bytes were not met before (one bit a line). Byte-identical lines are
// certainly duplicates, so only the first of them needs a sort key. Returns the count marked.
std::size_t MarkFirstOccurrences(const LineTable& lines, std::vector<bool>& first) {
  std::size_t capacity = 16;
  while (capacity < std::size_t{lines.size()} * 2) capacity *= 2;
  const std::size_t mask = capacity - 1;
  std::vector<std::uint32_t> slots(capacity, 0);  // position + 1 of a line; 0 = free
  const std::hash<std::string_view> hash;
  first.assign(lines.size(), false);
  std::size_t count = 0;
  for (std::uint32_t i = 0; i < lines.size(); ++i) {
    std::size_t slot = hash(lines[i]) & mask;
    while (slots[slot] != 0 && lines[slots[slot] - 1] != lines[i]) slot = (slot + 1) & mask;
    if (slots[slot] == 0) {
      slots[slot] = i + 1;
      first[i] = true;
      ++count;
    }
  }
  return count;
}

// Computes the sort keys of the marked lines among lines [begin, end) into out, in order.
void BuildKeys(const LineTable& lines, const std::vector<bool>& first, std::uint32_t begin,
               std::uint32_t end, const CaseIgnoringCollator& collator, KeyStore& keys,
               KeyedLine* out) {
  for (std::uint32_t i = begin; i < end; ++i) {
    if (!first[i]) continue;
    const std::string key = collator.SortKey(lines[i]);
    if (key.size() > kKeyLengthMask) throw std::bad_alloc();
    std::uint32_t info = static_cast<std::uint32_t>(key.size());
    if (!IsValidGbk(lines[i])) info |= kInvalidGbkLine;
    *out++ = KeyedLine{0, keys.Add(key), info, i};
  }
}

// Below this many keys a second thread is not worth starting.
constexpr std::size_t kParallelKeys = 1024;

// The positions of the distinct lines, in ascending order of the lines, the first form met
// of each. Sort keys are the costly part, so two threads compute them, each for half of the
// lines (the collator's const functions may be used concurrently; base converts GBK with a
// converter per thread); the caller's thread waits for both.
std::vector<std::uint32_t> DistinctLineIndices(const LineTable& lines,
                                               const CaseIgnoringCollator& collator) {
  std::vector<KeyedLine> items;
  std::size_t kept = 0;
  {
    KeyStore keys;
    KeyStore workerKeys;
    {
      std::vector<bool> first;
      const std::size_t count = MarkFirstOccurrences(lines, first);
      items.resize(count);
      // The line where the second half of the marked lines begins, and how many come
      // before it.
      std::uint32_t middle = 0;
      std::size_t before = 0;
      while (before < count / 2) before += first[middle++] ? 1 : 0;
      std::exception_ptr workerFailure;
      std::thread worker;
      if (count >= kParallelKeys) {
        try {
          worker = std::thread([&] {
            try {
              BuildKeys(lines, first, middle, lines.size(), collator, workerKeys,
                        items.data() + before);
            } catch (...) {
              workerFailure = std::current_exception();
            }
          });
        } catch (const std::system_error&) {
          // No thread to be had: this thread does all the lines.
        }
      }
      try {
        BuildKeys(lines, first, 0, worker.joinable() ? middle : lines.size(), collator, keys,
                  items.data());
      } catch (...) {
        if (worker.joinable()) worker.join();
        throw;
      }
      if (worker.joinable()) worker.join();
      if (workerFailure) std::rethrow_exception(workerFailure);
    }
    // Duplicates end up next to each other in input order: the first of each run is the
    // form met first. The kept ones move to the front.
    SortKeyedLines(items, lines);
    KeyedLine previous{};
    for (std::size_t i = 0; i < items.size(); ++i) {
      const KeyedLine current = items[i];
      if (i == 0 || CompareKeyedLines(previous, current, lines) != 0) items[kept++] = current;
      previous = current;
    }
  }  // the keys go before the result is built
  std::vector<std::uint32_t> distinct;
  distinct.reserve(kept);
  for (std::size_t i = 0; i < kept; ++i) distinct.push_back(items[i].line);
  return distinct;
}

}  // namespace

std::vector<std::string_view> DistinctSortedLines(const std::vector<std::string>& texts,
                                                  const CaseIgnoringCollator& collator) {
  try {
    const LineTable lines = CollectLines(texts);
    std::vector<std::string_view> result;
    for (const std::uint32_t i : DistinctLineIndices(lines, collator)) result.push_back(lines[i]);
    return result;
  } catch (const std::bad_alloc&) {
    throw OutOfMemoryError();
  } catch (const std::length_error&) {
    throw OutOfMemoryError();
  }
}

MergeStats MergeAndDedupFiles(const std::vector<std::string>& inputPaths,
                              const std::string& outputPath,
                              const CaseIgnoringCollator& collator,
                              const MergeProgress& onProgress) {
  try {
    std::vector<std::string> texts;
    texts.reserve(inputPaths.size());
    for (const std::string& path : inputPaths) {
      try {
        texts.push_back(ReadWholeFile(path));
      } catch (const std::bad_alloc&) {
        throw;
      } catch (const std::exception&) {
        throw FileOpenError(GbkFileName(path));
      }
      if (onProgress) onProgress("file", texts.size(), inputPaths.size());
    }
    const LineTable lines = CollectLines(texts);
    const std::vector<std::uint32_t> distinct = DistinctLineIndices(lines, collator);
    MergeStats stats;
    stats.linesRead = lines.size();
    stats.linesWritten = distinct.size();

    // Every input has been read and merged: only now is the output written, so it may be
    // one of the inputs and a failure up to here leaves it untouched.
    WriteOutputFile(outputPath, [&](FileContent& output) {
      std::size_t written = 0;
      for (const std::uint32_t i : distinct) {
        output.WriteLine(lines[i]);
        if (onProgress && (++written % 4096 == 0 || written == distinct.size()))
          onProgress("line", written, distinct.size());
      }
    });
    return stats;
  } catch (const std::bad_alloc&) {
    throw OutOfMemoryError();
  } catch (const std::length_error&) {
    throw OutOfMemoryError();
  }
}

}  // namespace tolvarine
