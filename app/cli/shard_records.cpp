#include "app/cli/shard_records.h"

#include <vector>

#include "base/number_text.h"

namespace tolvarine::cli {
namespace {

void AppendField(std::string& line, std::string_view field) {
  line += '\t';
  for (char c : field) {
    switch (c) {
      case '\t': line += "\\t"; break;
      case '\n': line += "\\n"; break;
      case '\r': line += "\\r"; break;
      case '\\': line += "\\\\"; break;
      default: line += c;
    }
  }
}

std::vector<std::string> Fields(std::string_view line) {
  std::vector<std::string> fields(1);
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '\t') {
      fields.emplace_back();
    } else if (c == '\\' && i + 1 < line.size()) {
      const char e = line[++i];
      fields.back() += e == 't' ? '\t' : e == 'n' ? '\n' : e == 'r' ? '\r' : e;
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

}  // namespace

std::string EncodeRow(ResultKind kind, const std::string& value, const RowSource& source,
                      int line) {
  std::string text = kind == ResultKind::Phone ? "P" : "L";
  AppendField(text, value);
  AppendField(text, source.page);
  AppendField(text, std::to_string(source.time));
  AppendField(text, std::to_string(line));
  AppendField(text, std::to_string(source.depth));
  // Only a number found with structured data on says how: any other row stays as before.
  if (source.foundIn != FoundIn::Unrecorded) AppendField(text, FoundInName(source.foundIn));
  return text += '\n';
}

std::string EncodePosition(int line, long long pages, long long queued) {
  return "N\t" + std::to_string(line) + "\t" + std::to_string(pages) + "\t" +
         std::to_string(queued) + "\n";
}

std::string EncodeEnd(int abandoned, int early) {
  return "E\t" + std::to_string(abandoned) + "\t" + std::to_string(early) + "\n";
}

std::string EncodeSync() { return "S\n"; }

std::string EncodePage(const PageRecord& record) {
  std::string text = "G";
  AppendField(text, PageLogLine(RecordFormat::Csv, record));
  return text += '\n';
}

std::optional<ShardMessage> DecodeShardMessage(std::string_view line) {
  const std::vector<std::string> f = Fields(line);
  ShardMessage m;
  if (f[0] == "G" && f.size() == 2) {
    auto page = PageRecordFromLine(RecordFormat::Csv, f[1]);
    if (!page) return std::nullopt;
    m.type = ShardMessage::Type::Page;
    m.page = std::move(*page);
    return m;
  }
  if ((f[0] == "P" || f[0] == "L") && (f.size() == 6 || f.size() == 7)) {
    const auto time = ParseDecimalAs<std::int64_t>(f[3]);
    const auto line = ParseDecimalAs<int>(f[4]);
    const auto depth = ParseDecimalAs<int>(f[5]);
    if (!time || !line || !depth) return std::nullopt;
    m.line = *line;
    m.kind = f[0] == "P" ? ResultKind::Phone : ResultKind::Link;
    m.value = f[1];
    m.source = {f[2], *time, *depth};
    // A row of the older form, or with a name this copy does not know, is kept unrecorded.
    if (f.size() == 7) m.source.foundIn = FoundInNamed(f[6]);
    return m;
  }
  if (f[0] == "S" && f.size() == 1) {
    m.type = ShardMessage::Type::Sync;
    return m;
  }
  if (f[0] == "N" && f.size() == 4) {
    const auto n = ParseDecimalAs<int>(f[1]);
    const auto pages = ParseDecimalAs<long long>(f[2]);
    const auto queued = ParseDecimalAs<long long>(f[3]);
    if (!n || !pages || !queued) return std::nullopt;
    m.type = ShardMessage::Type::Position;
    m.number = *n;
    m.pages = *pages;
    m.queued = *queued;
    return m;
  }
  if (f[0] == "E" && f.size() == 3) {
    const auto a = ParseDecimalAs<int>(f[1]), b = ParseDecimalAs<int>(f[2]);
    if (!a || !b) return std::nullopt;
    m.type = ShardMessage::Type::End;
    m.number = *a;
    m.other = *b;
    return m;
  }
  return std::nullopt;
}

}  // namespace tolvarine::cli
