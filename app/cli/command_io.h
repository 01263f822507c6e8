#pragma once
// Output helpers shared by the commands: rows in the system's text format (GBK, CR LF),
// messages for the terminal (converted from GBK to UTF-8).
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli/arg_parser.h"

namespace tolvarine::cli {

// Writes a GBK message and a line end to standard error as UTF-8.
void PrintMessage(std::string_view gbk);
// Writes "tolvarine: <message>" for a failure (the error dialog's text, as UTF-8).
void PrintFailure(std::string_view gbkMessage);
// Tells on standard error how many numbers --valid-only left out.
void PrintDroppedNumbers(long long count);
// Writes one row (GBK bytes unchanged) and its line end (CR LF unless told), then flushes,
// so that nothing found is lost if the process dies. Throws StreamWriteError when the
// write fails.
void WriteRow(std::FILE* out, std::string_view row, const char* lineEnd = "\r\n");

// Rows for a command whose output can be made again by running it again (scan): kept in
// blocks and written a block at a time, so that a large output costs few writes. Rows go
// out when a block is full and at each Flush. Each row ends in CR LF unless told.
class BufferedRows {
 public:
  explicit BufferedRows(std::FILE* out, const char* lineEnd = "\r\n")
      : out_(out), lineEnd_(lineEnd) {}
  // Writes what is left when the command fails part way; write errors are not reported.
  ~BufferedRows();
  BufferedRows(const BufferedRows&) = delete;
  BufferedRows& operator=(const BufferedRows&) = delete;

  // Adds the row and its line end. Throws StreamWriteError when a full block cannot be written.
  void Write(std::string_view row);
  // Writes the rows held. Throws StreamWriteError when that fails.
  void Flush();

 private:
  std::FILE* out_;
  const char* lineEnd_;
  std::string block_;
};

// Prints a usage text to standard output, as asked for by --help; returns 0.
int ShowUsage(std::string_view usage);

// Prints "tolvarine: MESSAGE" and "Try 'tolvarine COMMAND --help'" (without a command: the
// program's own help) to standard error; returns the usage-error status 2.
int ShowUsageError(std::string_view command, std::string_view message);

// Runs a command: its flags read by its table, then `work`, which returns the exit status.
// --help prints the usage (0); a UsageError, from the flags or from `work`, prints its
// message and where the usage is (2); another failure is printed (1).
int RunCommand(const CommandTable& command, const std::vector<std::string>& args,
               const std::function<int(const ParsedArgs&)>& work);

}  // namespace tolvarine::cli
