#include "app/cli/arg_parser.h"

#include "base/number_text.h"

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
  const std::optional<long long> n = ParseDecimal(*value, low, high);
  if (!n)
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

std::string CommandTable::Usage() const {
  std::string usage(head);
  for (const FlagRow& flag : flags) usage += flag.usage;
  return usage += tail;
}

ParsedArgs CommandTable::Parse(const std::vector<std::string>& args) const {
  ParsedArgs parsed;
  std::optional<std::string> error;  // the first fault; --help anywhere outweighs it
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
    if (arg == "--help") {
      parsed.help_ = true;
      continue;
    }
    std::string name = arg;
    std::optional<std::string> inlineValue;
    if (auto eq = arg.find('='); eq != std::string::npos) {
      name = arg.substr(0, eq);
      inlineValue = arg.substr(eq + 1);
    }
    const FlagRow* flagRow = nullptr;
    for (const FlagRow& flag : flags)
      if (flag.name == name) flagRow = &flag;
    if (!flagRow) {
      if (!error) error = "unknown option " + name;
    } else if (flagRow->kind == FlagKind::Switch) {
      if (inlineValue && !error) error = name + " takes no value";
      parsed.switches_.insert(name);
    } else if (inlineValue) {
      parsed.values_[name] = *inlineValue;
    } else if (i + 1 < args.size()) {
      parsed.values_[name] = args[++i];
    } else if (!error) {
      error = name + " needs a value";
    }
  }
  if (error && !parsed.help_) throw UsageError(*error);
  return parsed;
}

}  // namespace tolvarine::cli
