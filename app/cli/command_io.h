#pragma once
// Output helpers shared by the commands: rows in the system's text format (GBK, CR LF),
// messages for the terminal (converted from GBK to UTF-8).
#include <cstdio>
#include <string>
#include <string_view>

namespace tolvarine::cli {

// Writes a GBK message and a line end to standard error as UTF-8.
void PrintMessage(std::string_view gbk);
// Writes "tolvarine: <message>" for a failure (the error dialog's text, as UTF-8).
void PrintFailure(std::string_view gbkMessage);
// Writes one row (GBK bytes unchanged) and CR LF, then flushes, so that nothing found is
// lost if the process dies. Throws StreamWriteError when the write fails.
void WriteRow(std::FILE* out, std::string_view row);

// Prints the usage text and returns the usage-error status 2 (or 0 for asked-for help).
int ShowUsage(std::string_view usage, std::string_view error = {});

}  // namespace tolvarine::cli
