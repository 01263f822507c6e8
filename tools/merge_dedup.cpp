#include "tools/merge_dedup.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>

#include "base/atomic_file.h"
#include "base/errors.h"
#include "base/file_names.h"
#include "base/gbk.h"
#include "base/line_split.h"
#include "base/text_writer.h"

namespace tolvarine {

namespace {

// Sort keys live in large fixed chunks: adding a key never moves the others, and the store
// never holds two copies of itself while growing (as a doubling buffer would).
class KeyStore {
 public:
  const char* Add(std::string_view key) {
    if (key.size() > left_) {
      const std::size_t size = std::max(kChunkSize, key.size());
      chunks_.push_back(std::make_unique<char[]>(size));
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

constexpr std::uint32_t kInvalidGbk = 0x80000000u;  // flag in Entry::keyInfo
constexpr std::uint32_t kKeyLengthMask = 0x7fffffffu;

// One line to sort: its collation key and its position among all lines (first met = lowest).
struct Entry {
  const char* key;
  std::uint32_t keyInfo;  // key length, and kInvalidGbk for a line that is not valid GBK
  std::uint32_t line;
};

// The order of lines: by collation key; lines the collation ties are equal only when both
// are valid GBK. A line that is not valid GBK may have been decoded with replacement
// characters, so among tied lines those come after the valid ones, ordered by their bytes.
class LineOrder {
 public:
  explicit LineOrder(const std::vector<std::string_view>& lines) : lines_(lines) {}

  int Compare(const Entry& a, const Entry& b) const {
    const std::uint32_t la = a.keyInfo & kKeyLengthMask;
    const std::uint32_t lb = b.keyInfo & kKeyLengthMask;
    if (const int c = std::memcmp(a.key, b.key, std::min(la, lb)); c != 0) return c;
    if (la != lb) return la < lb ? -1 : 1;
    const bool ia = (a.keyInfo & kInvalidGbk) != 0;
    const bool ib = (b.keyInfo & kInvalidGbk) != 0;
    if (ia != ib) return ia ? 1 : -1;
    if (!ia) return 0;
    const int c = lines_[a.line].compare(lines_[b.line]);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
  }

 private:
  const std::vector<std::string_view>& lines_;
};

// All lines of the texts, in order, as views into them.
std::vector<std::string_view> CollectLines(const std::vector<std::string>& texts) {
  std::vector<std::string_view> lines;
  for (const std::string& text : texts) {
    const std::vector<std::string_view> own = SplitLineViews(text);
    lines.insert(lines.end(), own.begin(), own.end());
  }
  if (lines.size() > std::numeric_limits<std::uint32_t>::max()) throw std::bad_alloc();
  return lines;
}

// The positions of the distinct lines, in ascending order of the lines, the first form met
// of each. The keys are released before this returns.
std::vector<std::uint32_t> DistinctLineIndices(const std::vector<std::string_view>& lines,
                                               const CaseIgnoringCollator& collator) {
  KeyStore keys;
  std::vector<Entry> entries;
  entries.reserve(lines.size());
  for (std::uint32_t i = 0; i < lines.size(); ++i) {
    const std::string key = collator.SortKey(lines[i]);
    if (key.size() > kKeyLengthMask) throw std::bad_alloc();
    std::uint32_t info = static_cast<std::uint32_t>(key.size());
    if (!IsValidGbk(lines[i])) info |= kInvalidGbk;
    entries.push_back(Entry{keys.Add(key), info, i});
  }
  const LineOrder order(lines);
  // Equal lines keep their input order, so the first of each run of equals is the form met
  // first.
  std::sort(entries.begin(), entries.end(), [&order](const Entry& a, const Entry& b) {
    const int c = order.Compare(a, b);
    return c != 0 ? c < 0 : a.line < b.line;
  });
  std::vector<std::uint32_t> distinct;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    if (i == 0 || order.Compare(entries[i - 1], entries[i]) != 0) distinct.push_back(entries[i].line);
  }
  return distinct;
}

}  // namespace

std::vector<std::string_view> DistinctSortedLines(const std::vector<std::string>& texts,
                                                  const CaseIgnoringCollator& collator) {
  try {
    const std::vector<std::string_view> lines = CollectLines(texts);
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
                              const CaseIgnoringCollator& collator) {
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
    }
    const std::vector<std::string_view> lines = CollectLines(texts);
    const std::vector<std::uint32_t> distinct = DistinctLineIndices(lines, collator);
    MergeStats stats;
    stats.linesRead = lines.size();
    stats.linesWritten = distinct.size();

    // Every input has been read and merged: only now is the output created, so it may be one
    // of the inputs and a failure up to here leaves it untouched.
    std::unique_ptr<TextWriter> writer;
    try {
      writer = std::make_unique<TextWriter>(outputPath);
    } catch (const InOutError&) {
      throw FileCreateError(GbkFileName(outputPath));
    }
    try {
      for (const std::uint32_t i : distinct) writer->WriteLine(lines[i]);
      writer->Close();
    } catch (const InOutError&) {
      throw StreamWriteError();
    }
    return stats;
  } catch (const std::bad_alloc&) {
    throw OutOfMemoryError();
  } catch (const std::length_error&) {
    throw OutOfMemoryError();
  }
}

}  // namespace tolvarine
