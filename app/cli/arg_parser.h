#pragma once
// A small parser for the command line's flags: "--name" switches, "--name VALUE" or
// "--name=VALUE" options, and positional arguments. An unknown flag is an error, never
// ignored.
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/result_records.h"

namespace tolvarine::cli {

// A wrong command line; the runner prints the message and the usage and exits with 2.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
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

 private:
  friend class ArgParser;
  std::set<std::string> switches_;
  std::map<std::string, std::string> values_;
  std::vector<std::string> positional_;
};

// The rows' format named by --format: plain rows when absent; another name than csv or
// jsonl is a UsageError.
RecordFormat RecordFormatOption(const ParsedArgs& parsed);

class ArgParser {
 public:
  ArgParser& Switch(const std::string& flag);
  ArgParser& Option(const std::string& flag);
  // Parses args (without the program and command names); throws UsageError.
  ParsedArgs Parse(const std::vector<std::string>& args) const;

 private:
  std::set<std::string> switches_;
  std::set<std::string> options_;
};

}  // namespace tolvarine::cli
