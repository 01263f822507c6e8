// Reading the progress file and the list files from any bytes: failures only as the
// system's own errors, what was read applied as the rules say, and a written progress file
// or saved lists read back to what was written.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/errors.h"
#include "base/line_split.h"
#include "base/number_text.h"
#include "engine/crawl_settings.h"
#include "engine/progress_file.h"
#include "fuzz/fuzz_support.h"

namespace {

using tolvarine::CrawlOption;
using tolvarine::RuleList;
using tolvarine::fuzz::AsText;

// Settings whose list file name shows whether reading touched it.
tolvarine::CrawlSettings Untouched() {
  tolvarine::CrawlSettings settings;
  settings.listFile = "untouched";
  return settings;
}

constexpr CrawlOption kOptionOrder[] = {CrawlOption::Dedup,      CrawlOption::SearchLinks,
                                        CrawlOption::SearchPhones, CrawlOption::LinkFilter,
                                        CrawlOption::OnlySite,   CrawlOption::Autosave};
constexpr const char* kYes[] = {"qcyes", "webyes", "mobyes", "sxyes", "bzyes", "saveyes"};
constexpr RuleList kLists[] = {RuleList::Prefixes, RuleList::MustContain, RuleList::MustNotContain};

// The lines a line reader gives: LF ends a line, CR dropped, Ctrl-Z at a line start ends.
std::vector<std::string> ReadLines(std::string_view bytes) {
  std::vector<std::string> lines;
  std::size_t i = 0;
  while (i < bytes.size() && bytes[i] != '\x1A') {
    std::string line;
    for (; i < bytes.size() && bytes[i] != '\n'; ++i)
      if (bytes[i] != '\r') line.push_back(bytes[i]);
    if (i < bytes.size()) ++i;
    lines.push_back(line);
  }
  return lines;
}

// The field text of a list file: cut at the first NUL, every line end made CR LF.
std::string ModelFieldText(std::string_view text) {
  text = text.substr(0, text.find('\0'));
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') {
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += "\r\n";
    } else {
      out += text[i];
    }
  }
  return out;
}

void CheckRead(const tolvarine::ProgressFile& files, std::string_view bytes) {
  tolvarine::CrawlSettings view = Untouched();
  int position = -7;
  int total = -9;
  bool threw = false;
  try {
    FUZZ_CHECK(files.Read(view, position, total));
  } catch (const tolvarine::ConvertError&) {
    threw = true;
  }
  // Lines missing at the end read as empty.
  std::vector<std::string> lines = ReadLines(bytes);
  lines.resize(std::max<std::size_t>(lines.size(), 10));
  FUZZ_CHECK(view.listFile == lines[0]);
  const auto pos = tolvarine::TryStrToInt(lines[1]);
  const auto tot = tolvarine::TryStrToInt(lines[2]);
  const auto speed = tolvarine::TryStrToInt(lines[9]);
  FUZZ_CHECK(threw == (!pos || !tot || !speed));
  FUZZ_CHECK(position == (pos ? *pos : -7));
  FUZZ_CHECK(total == (pos && tot ? *tot : -9));
  for (int k = 0; k < 6; ++k) {
    const bool applied = pos && tot;
    FUZZ_CHECK(view.Option(kOptionOrder[k]) == (applied && lines[3 + k] == kYes[k]));
  }
  FUZZ_CHECK(view.speed == (threw ? 8 : std::clamp(*speed, 1, 60)));
}

void CheckWriteAndReadBack(const tolvarine::ProgressFile& files, std::string_view listFile,
                           std::uint8_t flags, std::string_view speedText) {
  // A name holding a line end, or starting with Ctrl-Z, cannot come back as one line.
  if (listFile.find_first_of("\r\n") != std::string_view::npos || listFile.starts_with('\x1A'))
    return;
  tolvarine::CrawlSettings written;
  written.listFile = std::string(listFile);
  written.speed = tolvarine::ReadSpeed(std::string(speedText));
  for (int k = 0; k < 6; ++k) written.SetOption(kOptionOrder[k], (flags >> k) & 1);
  files.Write(written, -12345, 2147483647);

  tolvarine::CrawlSettings read;
  int position = 0;
  int total = 0;
  FUZZ_CHECK(files.Read(read, position, total));
  FUZZ_CHECK(position == -12345);
  FUZZ_CHECK(total == 2147483647);
  FUZZ_CHECK(read.options == written.options);
  FUZZ_CHECK(read.speed == written.speed);
  FUZZ_CHECK(read.listFile == listFile);
}

}  // namespace

// Input: a flags byte, then parts separated by 0x1E 0x1E: the progress file and the three
// list files. Flag bits 0..3 say which of the four files exist.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t flags = data[0];
  const std::vector<std::string_view> parts = tolvarine::fuzz::SplitParts(AsText(data + 1, size - 1), 4);
  auto part = [&parts](std::size_t i) { return i < parts.size() ? parts[i] : std::string_view{}; };

  namespace fs = std::filesystem;
  const std::string folder = tolvarine::fuzz::ScratchFolder() + "state/";
  fs::remove_all(folder);
  fs::create_directories(folder);
  const tolvarine::ProgressFile files(folder);
  auto put = [](const std::string& path, std::string_view bytes) {
    const std::string tmp = tolvarine::fuzz::WriteScratchFile("incoming", bytes);
    fs::rename(tmp, path);
  };

  if (flags & 1) {
    put(files.ProgressPath(), part(0));
    CheckRead(files, part(0));
  } else {
    tolvarine::CrawlSettings view = Untouched();
    int position = 1;
    int total = 2;
    FUZZ_CHECK(!files.Read(view, position, total));
    FUZZ_CHECK(position == 1 && total == 2 && view.listFile == "untouched");
  }

  // Lists: fields of missing files keep their text.
  tolvarine::CrawlSettings view;
  for (RuleList list : kLists) view.SetRules(list, "default");
  for (int k = 0; k < 3; ++k)
    if (flags & (2 << k)) put(files.ListPath(kLists[k]), part(1 + k));
  files.LoadLists(view);
  for (int k = 0; k < 3; ++k) {
    const std::string& field = view.Rules(kLists[k]);
    if (!(flags & (2 << k))) {
      FUZZ_CHECK(field == "default");
      continue;
    }
    FUZZ_CHECK(field == ModelFieldText(part(1 + k)));
    FUZZ_CHECK(tolvarine::SplitLines(field) == tolvarine::SplitLines(part(1 + k)));
  }
  // Saved and loaded again, a loaded field is unchanged.
  files.SaveLists(view);
  tolvarine::CrawlSettings reloaded;
  files.LoadLists(reloaded);
  for (RuleList list : kLists) FUZZ_CHECK(reloaded.Rules(list) == view.Rules(list));

  CheckWriteAndReadBack(files, part(0).substr(0, 300), flags >> 2, part(1).substr(0, 12));
  return 0;
}
