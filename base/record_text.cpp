#include "base/record_text.h"

#include <cstdio>
#include <ctime>

#include "base/gbk.h"
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
    const std::vector<std::pair<std::string_view, std::string_view>>& members) {
  std::string line = "{";
  for (std::size_t i = 0; i < members.size(); ++i) {
    if (i > 0) line += ',';
    AppendJsonString(line, members[i].first);
    line += ':';
    AppendJsonString(line, members[i].second);
  }
  line += '}';
  return line;
}

std::string LocalTimeText(std::int64_t secondsSinceEpoch) {
  const std::tm local = platform::LocalTime(secondsSinceEpoch);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return text;
}

}  // namespace tolvarine
