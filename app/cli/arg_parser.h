#pragma once
// The command line's flags, from one table per command: "--name" switches, "--name VALUE"
// or "--name=VALUE" options, and positional arguments. The same table gives the usage that
// --help prints. An unknown flag is an error, never ignored.
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "base/errors.h"
#include "engine/result_records.h"

namespace tolvarine::cli {

// A wrong command line; the runner prints the message (UTF-8, for the terminal) and where
// the usage is, and exits with 2.
class UsageError : public Error {
 public:
  using Error::Error;
};

enum class FlagKind { Switch, Value };

// One flag of a command: its name, whether a value follows it, and its lines in the
// command's usage (none for a flag told of on the lines of the one before it, or for one
// the usage does not show).
struct FlagRow {
  std::string_view name;
  FlagKind kind;
  std::string_view usage = {};
};

class ParsedArgs {
 public:
  bool Has(const std::string& flag) const { return switches_.count(flag) || values_.count(flag); }
  std::optional<std::string> Value(const std::string& flag) const;
  // The value of an option that must be given.
  std::string Required(const std::string& flag) const;
  // The option's value as a whole decimal number, within [low, high].
  std::optional<long long> Number(const std::string& flag, long long low, long long high) const;
  const std::vector<std::string>& Positional() const { return positional_; }
  // --help was given: the usage is printed, whatever else the line holds.
  bool HelpAsked() const { return help_; }

 private:
  friend struct CommandTable;
  std::set<std::string> switches_;
  std::map<std::string, std::string> values_;
  std::vector<std::string> positional_;
  bool help_ = false;
};

// A command's flags and its usage: the head (synopsis and summary), each flag's lines in
// the table's order, the tail. Every command also takes --help.
struct CommandTable {
  std::string_view name;  // as typed after the program's name
  std::string_view head;
  std::vector<FlagRow> flags;
  std::string_view tail = {};

  std::string Usage() const;
  // Parses args (without the program and command names); throws UsageError, unless
  // --help was given.
  ParsedArgs Parse(const std::vector<std::string>& args) const;
};

// The rows' format named by --format: plain rows when absent; another name than csv or
// jsonl is a UsageError.
RecordFormat RecordFormatOption(const ParsedArgs& parsed);

}  // namespace tolvarine::cli
