#include "base/record_text.h"

#include <cstdio>
#include <ctime>

#include "base/gbk.h"
#include "base/number_text.h"
#include "base/platform/calendar.h"

namespace tolvarine {

std::string CsvLine(const std::vector<std::string_view>& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += ',';
    const std::string_view field = fields[i];
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
      line += field;
      continue;
    }
    line += '"';
    for (char c : field) {
      if (c == '"') line += '"';
      line += c;
    }
    line += '"';
  }
  return line;
}

namespace {

void AppendJsonString(std::string& out, std::string_view gbk) {
  out += '"';
  for (char c : GbkToUtf8(gbk)) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", u);
      out += escape;
    } else {
      out += c;
    }
  }
  out += '"';
}

}  // namespace

std::string JsonObjectLine(
    const std::vector<std::pair<std::string_view, std::string_view>>& members,
    const std::vector<bool>& bare) {
  std::string line = "{";
  for (std::size_t i = 0; i < members.size(); ++i) {
    if (i > 0) line += ',';
    AppendJsonString(line, members[i].first);
    line += ':';
    if (i < bare.size() && bare[i])
      line += members[i].second;
    else
      AppendJsonString(line, members[i].second);
  }
  line += '}';
  return line;
}

std::optional<std::vector<std::string>> CsvFields(std::string_view line) {
  std::vector<std::string> fields(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c != '"') {
        fields.back() += c;
      } else if (i + 1 < line.size() && line[i + 1] == '"') {
        fields.back() += '"';
        ++i;
      } else {
        quoted = false;
      }
    } else if (c == ',') {
      fields.emplace_back();
    } else if (c == '"' && fields.back().empty()) {
      quoted = true;
    } else {
      fields.back() += c;
    }
  }
  if (quoted) return std::nullopt;
  return fields;
}

namespace {

// A bare JSON integer starting at line[i] ("-" and digits), as its text; i ends past it.
std::optional<std::string> JsonInteger(std::string_view line, std::size_t& i) {
  const std::size_t start = i;
  if (i < line.size() && line[i] == '-') ++i;
  const std::size_t digits = i;
  while (i < line.size() && line[i] >= '0' && line[i] <= '9') ++i;
  if (i == digits) return std::nullopt;
  return std::string(line.substr(start, i - start));
}

// A JSON string starting at line[i] (its opening quote), as UTF-8; i ends past it. Only the
// escapes JsonObjectLine writes are read (\u for control characters).
std::optional<std::string> JsonString(std::string_view line, std::size_t& i) {
  if (i >= line.size() || line[i] != '"') return std::nullopt;
  std::string utf8;
  for (++i; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '"') {
      ++i;
      return utf8;
    }
    if (c != '\\') {
      utf8 += c;
      continue;
    }
    if (++i >= line.size()) break;
    if (line[i] != 'u') {
      utf8 += line[i];
      continue;
    }
    unsigned code = 0;
    for (int k = 1; k <= 4; ++k) {
      const int digit = i + k < line.size() ? HexDigit(line[i + k]) : -1;
      if (digit < 0) return std::nullopt;
      code = code * 16 + static_cast<unsigned>(digit);
    }
    if (code >= 0x80) return std::nullopt;
    utf8 += static_cast<char>(code);
    i += 4;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::vector<std::pair<std::string, std::string>>> JsonObjectMembers(
    std::string_view line) {
  std::vector<std::pair<std::string, std::string>> members;
  std::size_t i = 1;
  if (line.empty() || line[0] != '{') return std::nullopt;
  while (i < line.size() && line[i] != '}') {
    if (!members.empty()) {
      if (line[i] != ',') return std::nullopt;
      ++i;
    }
    auto name = JsonString(line, i);
    if (!name || i >= line.size() || line[i] != ':') return std::nullopt;
    ++i;
    auto value = i < line.size() && line[i] == '"' ? JsonString(line, i) : JsonInteger(line, i);
    if (!value) return std::nullopt;
    members.emplace_back(Utf8ToGbk(*name), Utf8ToGbk(*value));
  }
  if (i + 1 != line.size()) return std::nullopt;
  return members;
}

std::string LocalTimeText(std::int64_t secondsSinceEpoch) {
  const std::tm local = platform::LocalTime(secondsSinceEpoch);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

}  // namespace tolvarine
