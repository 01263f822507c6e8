#include "tools/url_list_generator.h"

#include <utility>

#include "base/number_text.h"

namespace tolvarine {

FileListOutput::FileListOutput(std::string path) : path_(std::move(path)) {}

// A failure elsewhere may leave the file open: the destructor closes it, keeping the lines
// written so far. Close() is the place where closing errors are reported.
FileListOutput::~FileListOutput() = default;

void FileListOutput::Create() { writer_ = std::make_unique<TextWriter>(path_); }

void FileListOutput::WriteLine(std::string_view line) { writer_->WriteLine(line); }

void FileListOutput::Close() {
  if (writer_) {
    writer_->Close();
    writer_.reset();
  }
}

namespace {

// 32-bit signed arithmetic that wraps modulo 2^32 instead of overflowing.
std::int32_t WrapMul(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}
std::int32_t WrapInc(std::int32_t a) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + 1u);
}

// Closes the output when the work ends early, so the lines already written reach the file.
// Closing errors on that path are dropped: the first failure is the one reported.
class CloseOnExit {
 public:
  explicit CloseOnExit(ListOutput& output) : output_(output) {}
  ~CloseOnExit() {
    if (!done_) {
      try {
        output_.Close();
      } catch (...) {
      }
    }
  }
  void Close() {
    done_ = true;
    output_.Close();
  }

 private:
  ListOutput& output_;
  bool done_ = false;
};

}  // namespace

std::int64_t GenerateOneCounter(const OneCounterFields& fields, ListOutput& output,
                                const LineWrittenCallback& onLineWritten) {
  const std::int32_t start = StrToInt(fields.start);
  const std::int32_t end = StrToInt(fields.end);
  // The step is read only when there are lines to write; the field cannot change while the
  // command runs, so one conversion serves every line.
  const std::int32_t step = end >= start ? StrToInt(fields.step) : 0;
  output.Create();
  CloseOnExit closer(output);
  std::int64_t k = 0;
  if (end >= start) {
    std::string line;
    for (std::int64_t counter = start; counter <= end; ++counter) {
      line.assign(fields.prefix);
      line.append(IntToStr(WrapMul(step, static_cast<std::int32_t>(counter))));
      line.append(fields.suffix);
      output.WriteLine(line);
      ++k;
      if (onLineWritten) onLineWritten(k);
    }
  }
  closer.Close();
  return k;
}

std::int64_t GenerateTwoCounter(const TwoCounterFields& fields, ListOutput& output,
                                const LineWrittenCallback& onLineWritten) {
  std::int32_t counter2 = StrToInt(fields.counter2Start);
  const std::int32_t start = StrToInt(fields.start);
  const std::int32_t end = StrToInt(fields.end);
  output.Create();
  CloseOnExit closer(output);
  std::int64_t k = 0;
  std::string line;
  for (std::int64_t counter1 = start; counter1 <= end; ++counter1) {
    line.assign(fields.front);
    line.append(IntToStr(counter1));
    line.append(fields.middle);
    line.append(IntToStr(counter2));
    line.append(fields.back);
    output.WriteLine(line);
    counter2 = WrapInc(counter2);
    ++k;
    if (onLineWritten) onLineWritten(k);
  }
  closer.Close();
  return k;
}

std::int64_t GenerateOneCounterFile(const OneCounterFields& fields, const std::string& path,
                                    const LineWrittenCallback& onLineWritten) {
  FileListOutput output(path);
  return GenerateOneCounter(fields, output, onLineWritten);
}

std::int64_t GenerateTwoCounterFile(const TwoCounterFields& fields, const std::string& path,
                                    const LineWrittenCallback& onLineWritten) {
  FileListOutput output(path);
  return GenerateTwoCounter(fields, output, onLineWritten);
}

}  // namespace tolvarine
