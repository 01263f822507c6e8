#include "app/cli/arg_parser.h"

#include <cerrno>
#include <cstdlib>

namespace tolvarine::cli {

std::optional<std::string> ParsedArgs::Value(const std::string& flag) const {
  auto it = values_.find(flag);
  if (it == values_.end()) return std::nullopt;
  return it->second;
}

std::string ParsedArgs::Required(const std::string& flag) const {
  auto value = Value(flag);
  if (!value) throw UsageError("missing " + flag);
  return *value;
}

std::optional<long long> ParsedArgs::Number(const std::string& flag, long long low,
                                            long long high) const {
  auto value = Value(flag);
  if (!value) return std::nullopt;
  const char* text = value->c_str();
  char* end = nullptr;
  errno = 0;
  long long n = std::strtoll(text, &end, 10);
  if (value->empty() || *end != '\0' || errno == ERANGE || n < low || n > high)
    throw UsageError(flag + " takes a whole number from " + std::to_string(low) + " to " +
                     std::to_string(high) + ", not '" + *value + "'");
  return n;
}

RecordFormat RecordFormatOption(const ParsedArgs& parsed) {
  const std::optional<std::string> name = parsed.Value("--format");
  if (!name) return RecordFormat::Plain;
  if (*name == "csv") return RecordFormat::Csv;
  if (*name == "jsonl") return RecordFormat::Jsonl;
  throw UsageError("--format takes csv or jsonl, not '" + *name + "'");
}

ArgParser& ArgParser::Switch(const std::string& flag) {
  switches_.insert(flag);
  return *this;
}

ArgParser& ArgParser::Option(const std::string& flag) {
  options_.insert(flag);
  return *this;
}

ParsedArgs ArgParser::Parse(const std::vector<std::string>& args) const {
  ParsedArgs parsed;
  bool flagsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (flagsEnded || arg.size() < 2 || arg.rfind("-", 0) != 0) {
      parsed.positional_.push_back(arg);
      continue;
    }
    if (arg == "--") {
      flagsEnded = true;
      continue;
    }
    std::string name = arg;
    std::optional<std::string> inlineValue;
    if (auto eq = arg.find('='); eq != std::string::npos) {
      name = arg.substr(0, eq);
      inlineValue = arg.substr(eq + 1);
    }
    if (switches_.count(name)) {
      if (inlineValue) throw UsageError(name + " takes no value");
      parsed.switches_.insert(name);
    } else if (options_.count(name)) {
      if (inlineValue) {
        parsed.values_[name] = *inlineValue;
      } else {
        if (i + 1 >= args.size()) throw UsageError(name + " needs a value");
        parsed.values_[name] = args[++i];
      }
    } else {
      throw UsageError("unknown option " + name);
    }
  }
  return parsed;
}

}  // namespace tolvarine::cli
