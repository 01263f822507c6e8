#pragma once
// URL list generation: numbered page addresses written one per line into a text file.
//
// Two commands of the generator window, as plain logic:
//  - one counter:  prefix + (step * counter) + suffix, counter from start to end;
//  - two counters: front + counter1 + middle + counter2 + back, both advancing by 1 a line.
// Field texts are GBK, exactly as typed; numbers are converted with StrToInt (a bad field
// throws ConvertError) and written as number text. Arithmetic is 32-bit signed and wraps.
// Every line, the last one too, ends in CR LF. Every field is converted before the output
// is touched, so a bad field leaves an existing file as it was. An empty range (end below
// start) leaves the created output empty and reports no line.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "base/text_writer.h"

namespace tolvarine {

// The one-counter fields of the generator window: prefix, start, end, suffix, step.
struct OneCounterFields {
  std::string prefix;
  std::string start;
  std::string end;
  std::string suffix;
  std::string step;
};

// The two-counter fields: front, counter 1 start and end, middle, counter 2 start, back. The
// counter 2 end and the step are not read by this command, so they have no place here.
struct TwoCounterFields {
  std::string front;
  std::string start;  // counter 1
  std::string end;    // counter 1
  std::string middle;
  std::string counter2Start;
  std::string back;
};

// Where the lines go. Create() makes (or empties) the output; WriteLine() adds one line
// (the output ends it with CR LF); Close() finishes it. The generator calls Close() on every path once Create() has succeeded, also
// when a later step fails (the lines already written stay).
class ListOutput {
 public:
  virtual ~ListOutput() = default;
  virtual void Create() = 0;
  virtual void WriteLine(std::string_view line) = 0;
  virtual void Close() = 0;
};

// A buffered text file at a file-system path; created and replaced by Create(). Failures
// throw InOutError with the text-file error code.
class FileListOutput : public ListOutput {
 public:
  explicit FileListOutput(std::string path);
  ~FileListOutput() override;
  void Create() override;
  void WriteLine(std::string_view line) override;
  void Close() override;

 private:
  std::string path_;
  std::unique_ptr<TextWriter> writer_;
};

// Told after line k (1, 2, ...) has been handed to the output; the window sets its count
// label to the number text of k. Called once per line, so keep it cheap.
using LineWrittenCallback = std::function<void(std::int64_t k)>;

// One-counter generation. Order of work: convert start, then end, then (unless end < start)
// the step; create the output; write the lines (none when end < start) and close it.
// Returns the number of lines written. Throws ConvertError for a bad field (the output is
// then not created) and whatever the output throws.
std::int64_t GenerateOneCounter(const OneCounterFields& fields, ListOutput& output,
                                const LineWrittenCallback& onLineWritten = {});

// Two-counter generation. Order of work: convert the counter 2 start, start, then end;
// create the output; write the lines (none when end < start) and close it.
std::int64_t GenerateTwoCounter(const TwoCounterFields& fields, ListOutput& output,
                                const LineWrittenCallback& onLineWritten = {});

// Conveniences writing to a file at a file-system path.
std::int64_t GenerateOneCounterFile(const OneCounterFields& fields, const std::string& path,
                                    const LineWrittenCallback& onLineWritten = {});
std::int64_t GenerateTwoCounterFile(const TwoCounterFields& fields, const std::string& path,
                                    const LineWrittenCallback& onLineWritten = {});

}  // namespace tolvarine
