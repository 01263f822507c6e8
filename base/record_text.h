#pragma once
// Result rows as records for other programs: CSV lines (RFC 4180, GBK like every file of
// the program) and JSON objects (UTF-8, as JSON requires), and the time text they carry.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tolvarine {

// One CSV line without its line end: fields holding a comma, a double quote, CR or LF are
// quoted, with each double quote doubled.
std::string CsvLine(const std::vector<std::string_view>& fields);

// One JSON object with string members, on one line: names and values are GBK and come out
// as UTF-8, with quotes, backslashes and control characters escaped. A member marked in
// `bare` is a number: its value (a decimal integer) is written as it is, unquoted.
std::string JsonObjectLine(const std::vector<std::pair<std::string_view, std::string_view>>& members,
                           const std::vector<bool>& bare = {});

// The fields of a CSV line as CsvLine writes it; none when a quoted field is not closed.
std::optional<std::vector<std::string>> CsvFields(std::string_view line);

// The members of a JSON object line as JsonObjectLine writes it (strings, and integers
// given as their text), converted back to GBK; none for a line that is not such an object.
std::optional<std::vector<std::pair<std::string, std::string>>> JsonObjectMembers(
    std::string_view line);

// Seconds since 1970 as local time, "YYYY-MM-DD HH:MM:SS".
std::string LocalTimeText(std::int64_t secondsSinceEpoch);

}  // namespace tolvarine
