#include "engine/progress_file.h"

#include <array>
#include <cstring>
#include <exception>
#include <utility>

#include "base/atomic_file.h"
#include "base/line_reader.h"
#include "base/number_text.h"
#include "base/text_writer.h"
#include "engine/crawl_texts.h"
#include "engine/state_file_names.h"

namespace tolvarine {
namespace {

struct OptionLine {
  CrawlOption option;
  const char* yes;
  const char* no;
};

// Lines 4 to 9, in file order.
constexpr std::array<OptionLine, 6> kOptionLines{{
    {CrawlOption::Dedup, "qcyes", "qcno"},
    {CrawlOption::SearchLinks, "webyes", "webno"},
    {CrawlOption::SearchPhones, "mobyes", "mobno"},
    {CrawlOption::LinkFilter, "sxyes", "sxno"},
    {CrawlOption::OnlySite, "bzyes", "bzno"},
    {CrawlOption::Autosave, "saveyes", "saveno"},
}};

struct ListFile {
  RuleList list;
  const char* name;
};

// Read and written in this order.
constexpr std::array<ListFile, 3> kListFiles{{
    {RuleList::Prefixes, texts::kPrefixListFileName},
    {RuleList::MustContain, texts::kMustContainFileName},
    {RuleList::MustNotContain, texts::kMustNotContainFileName},
}};

}  // namespace

ProgressFile::ProgressFile(std::string folder)
    : ProgressFile(std::move(folder), texts::kProgressFileName) {}

ProgressFile::ProgressFile(std::string folder, std::string progressName)
    : folder_(std::move(folder)), progressName_(std::move(progressName)) {}

std::string ProgressFile::ProgressPath() const { return folder_ + progressName_; }

std::string ShardProgressName(int index, int count) {
  return StateFileNamesFor(true, index, count).progress;
}

std::string ProgressFile::ListPath(RuleList list) const {
  for (const ListFile& f : kListFiles)
    if (f.list == list) return folder_ + f.name;
  return {};
}

std::string ProgressText(const CrawlSettings& settings, int position, int total) {
  std::vector<std::string> lines{settings.listFile, IntToStr(position), IntToStr(total)};
  for (const OptionLine& o : kOptionLines)
    lines.emplace_back(settings.Option(o.option) ? o.yes : o.no);
  lines.push_back(IntToStr(ClampSpeed(settings.speed)));
  return JoinCrlf(lines);
}

void ProgressFile::Write(const CrawlSettings& settings, int position, int total) const {
  ReplaceFileAtomically(ProgressPath(), ProgressText(settings, position, total));
}

bool ProgressFile::Read(CrawlSettings& settings, int& position, int& total) const {
  const std::string path = ProgressPath();
  if (!FileExists(path)) return false;
  LineReader reader(path);
  try {
    settings.listFile = reader.ReadLine();
    position = StrToInt(reader.ReadLine());
    total = StrToInt(reader.ReadLine());
    for (const OptionLine& o : kOptionLines)
      settings.SetOption(o.option, reader.ReadLine() == o.yes);
    settings.speed = ClampSpeed(StrToInt(reader.ReadLine()));
  } catch (...) {
    try {
      reader.Close();
    } catch (...) {
      // Best-effort cleanup: the read's own failure, rethrown below, is the one reported.
    }
    throw;
  }
  reader.Close();
  return true;
}

std::string FieldTextFromFile(std::string_view fileText) {
  if (const void* nul = std::memchr(fileText.data(), '\0', fileText.size()))
    fileText = fileText.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) -
                                                           fileText.data()));
  std::string out;
  out.reserve(fileText.size() + fileText.size() / 16);
  for (std::size_t i = 0; i < fileText.size(); ++i) {
    const char c = fileText[i];
    if (c == '\r') {
      out += "\r\n";
      if (i + 1 < fileText.size() && fileText[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      out += "\r\n";
    } else {
      out += c;
    }
  }
  return out;
}

void ProgressFile::LoadLists(CrawlSettings& settings) const {
  for (const ListFile& f : kListFiles) {
    const std::string path = folder_ + f.name;
    if (!FileExists(path)) continue;
    settings.SetRules(f.list, FieldTextFromFile(ReadWholeFile(path)));
  }
  settings.extra = ReadExtraOptions(folder_);
}

void ProgressFile::SaveLists(const CrawlSettings& settings) const {
  for (const ListFile& f : kListFiles) {
    try {
      ReplaceFileAtomically(folder_ + f.name, settings.Rules(f.list));
    } catch (...) {
      // Saving the lists at shutdown ignores each failed write by design and goes on
      // with the next file; the atomic replacement leaves the failed file as it was.
    }
  }
  try {
    WriteExtraOptions(folder_, settings.extra);
  } catch (...) {
    // Saved with the lists, so ignored like theirs; the old file stays whole.
  }
}

}  // namespace tolvarine
