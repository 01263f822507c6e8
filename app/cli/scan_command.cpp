// tolvarine scan: the phone extractor over saved pages and text files.
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/cli/arg_parser.h"
#include "app/cli/command_io.h"
#include "app/cli/command_list.h"
#include "base/atomic_file.h"
#include "base/errors.h"
#include "base/file_names.h"
#include "base/gbk.h"
#include "base/platform/file_system.h"
#include "base/platform/streams.h"
#include "base/record_text.h"
#include "base/state_folder.h"
#include "engine/crawl_settings.h"
#include "engine/formatted_phones.h"
#include "engine/number_info.h"
#include "engine/phone_extractor.h"
#include "engine/progress_file.h"
#include "engine/result_list.h"
#include "engine/result_records.h"
#include "number_data/block_table.h"

namespace tolvarine::cli {
namespace {

const CommandTable kScan{
    "scan",
    "usage: tolvarine scan [--dedup] [--formatted] [--prefixes LIST] [--format csv|jsonl]\n"
    "                      [--enrich] [--valid-only] FILE...\n"
    "  Prints the 11-digit mobile numbers found in each file, one per line (CR LF);\n"
    "  a FILE of - is standard input.\n",
    {{"--dedup", FlagKind::Switch, "  --dedup          print each number once\n"},
     {"--formatted", FlagKind::Switch,
      "  --formatted      also numbers written in groups (138-1234-5678), after +86 or\n"
      "                   0086, or in full-width digits\n"},
     {"--prefixes", FlagKind::Value,
      "  --prefixes LIST  comma-separated number prefixes (default: the prefix list of the\n"
      "                   window's state folder when it exists, else 13,15,18)\n"},
     {"--format", FlagKind::Value,
      "  --format csv|jsonl  each number with the file it was found in: CSV rows\n"
      "                   \"value,page,time\" after a header row (GBK, CR LF), or one JSON\n"
      "                   object {\"value\",\"page\",\"time\"} a line (UTF-8, LF); the time\n"
      "                   is empty, the page of standard input is -\n"},
     {"--enrich", FlagKind::Switch,
      "  --enrich         with --format: also each number's province, city and carrier\n"
      "                   (\",province,city,carrier\"; JSON members of those names)\n"},
     {"--valid-only", FlagKind::Switch,
      "  --valid-only     drop the numbers that are no valid Chinese mobile number, and\n"
      "                   tell how many on standard error at the end\n"}}};

std::vector<std::string> PrefixesFromOption(const std::string& list) {
  std::vector<std::string> prefixes = PrefixesFromText(RuleTextFromCommaList(list));
  if (prefixes.empty()) throw UsageError("--prefixes names no prefix");
  return prefixes;
}

std::vector<std::string> SavedOrDefaultPrefixes() {
  const std::string path = ProgressFile(StateFolder()).ListPath(RuleList::Prefixes);
  if (FileExists(path)) return PrefixesFromText(FieldTextFromFile(ReadWholeFile(path)));
  return DefaultPrefixes();
}

// The ordinary scan, and with --formatted the numbers as people write them after each
// line's ordinary ones.
struct TextScanner {
  const PhoneScanner& ordinary;
  const FormattedPhoneScanner* formatted = nullptr;
  void ScanText(std::string_view text, const PhoneSink& found) const {
    if (formatted) {
      ScanTextWithFormatted(ordinary, *formatted, text, found);
    } else {
      ordinary.ScanText(text, found);
    }
  }
};

// Scans what the descriptor gives, to its end, a block at a time: each block up to its last
// line end, the rest of the line carried into the next. As the numbers of a text come out
// line by line, that gives them exactly as one scan of the whole text would, while the
// block stays in the processor's cache and a large input needs no memory of its size.
// Nothing after a NUL counts (as in a whole text); the input is still read to its end, so
// that whoever writes it is not cut off. Throws InOutError when a read fails.
void ScanStream(int fd, const TextScanner& scanner, const PhoneSink& print) {
  // A pipe of 1 MiB instead of 64 KiB lets the writer run ahead: far fewer switches
  // between it and this process. Where the system refuses, the pipe stays as it is.
  platform::WidenPipe(fd, std::size_t{1} << 20);
  // Left uninitialised: only what is read into it is ever touched (a small input costs
  // no more memory than its size).
  std::size_t capacity = 256 * 1024;  // grows for a line longer than it
  auto buffer = std::make_unique_for_overwrite<char[]>(capacity);
  std::size_t held = 0;
  bool ended = false;  // a NUL was met
  for (;;) {
    if (held == capacity) {
      auto grown = std::make_unique_for_overwrite<char[]>(capacity *= 2);
      std::memcpy(grown.get(), buffer.get(), held);
      buffer = std::move(grown);
    }
    int error = 0;
    const long got = platform::ReadSome(fd, buffer.get() + held, capacity - held, error);
    if (got < 0) throw InOutError(InOutCodeFromErrno(error));
    if (ended) {
      if (got == 0) return;
      continue;
    }
    const std::size_t fresh = held;  // where the bytes just read begin
    held += static_cast<std::size_t>(got);
    if (got == 0 || std::memchr(buffer.get() + fresh, '\0', held - fresh)) {
      scanner.ScanText({buffer.get(), held}, print);  // stops at the NUL itself
      if (got == 0) return;
      ended = true;
      held = 0;
      continue;
    }
    std::size_t lineEnd = held;  // one past the last line end of the new bytes
    while (lineEnd > fresh && buffer[lineEnd - 1] != '\n' && buffer[lineEnd - 1] != '\r')
      --lineEnd;
    if (lineEnd == fresh) continue;
    scanner.ScanText({buffer.get(), lineEnd}, print);
    std::memmove(buffer.get(), buffer.get() + lineEnd, held - lineEnd);
    held -= lineEnd;
  }
}

// Scans a named file as ScanStream does; false when it cannot be opened or read.
bool ScanFile(const std::string& path, const TextScanner& scanner, const PhoneSink& print) {
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(platform::OpenStream(path, "rb"),
                                                               std::fclose);
  if (!file) return false;
  try {
    ScanStream(platform::DescriptorOf(file.get()), scanner, print);
  } catch (const InOutError&) {
    return false;
  }
  return true;
}

// The prefixes of --prefixes, or else those of the window's state folder or the defaults.
std::vector<std::string> ScanPrefixes(const ParsedArgs& parsed) {
  if (auto list = parsed.Value("--prefixes")) return PrefixesFromOption(*list);
  return SavedOrDefaultPrefixes();
}

// Scans every file named, printing the numbers found as rows of the format. Returns the
// exit status: 1 when a file could not be opened or read (the others are still scanned).
// Throws for a failure that ends the command.
int ScanFiles(const ParsedArgs& parsed, RecordFormat format, bool enrich) {
  int status = 0;
  const std::vector<std::string> prefixes = ScanPrefixes(parsed);
  const PhoneScanner ordinary(prefixes);
  const FormattedPhoneScanner formatted(prefixes);
  const TextScanner scanner{ordinary, parsed.Has("--formatted") ? &formatted : nullptr};
  const bool dedup = parsed.Has("--dedup");
  const bool validOnly = parsed.Has("--valid-only");
  std::unique_ptr<NumberInfo> info;
  RecordMaker maker(format, enrich, false);
  if (enrich || validOnly) info = std::make_unique<BlockTableNumberInfo>();
  long long dropped = 0;  // numbers left out by --valid-only
  ResultList seen;  // the numbers printed, with --dedup
  BufferedRows rows(stdout, format == RecordFormat::Jsonl ? "\n" : "\r\n");
  if (format == RecordFormat::Csv) rows.Write(maker.Header());
  const PhoneSink print = [&](std::string_view number) {
    if (dedup) {
      std::string caption(number);
      if (seen.Contains(caption)) return;
      seen.Append(caption);
    }
    const NumberPlace* place = info ? &info->Look(number) : nullptr;
    if (validOnly && !place->valid) {
      ++dropped;
      return;
    }
    rows.Write(format == RecordFormat::Plain ? number : maker.Row(number, place));
  };
  for (const std::string& path : parsed.Positional()) {
    const std::string page = path == "-" ? path : GbkFileName(path);
    maker.SetSource(RowSource{page, 0, -1});
    if (path == "-") {
      ScanStream(platform::StandardInput(), scanner, print);
    } else if (!ScanFile(path, scanner, print)) {
      rows.Flush();  // the numbers found before the fault stay ahead of its message
      PrintFailure(FileOpenError(page).what());
      status = 1;
    }
    rows.Flush();  // each file's numbers go out when it is done
  }
  if (validOnly) {
    PrintDroppedNumbers(dropped);
  }
  return status;
}

}  // namespace

int RunScan(const std::vector<std::string>& args) {
  return RunCommand(kScan, args, [](const ParsedArgs& parsed) {
    if (parsed.Positional().empty()) throw UsageError("no file to scan");
    const RecordFormat format = RecordFormatOption(parsed);
    const bool enrich = parsed.Has("--enrich");
    if (enrich && format == RecordFormat::Plain)
      throw UsageError("--enrich adds fields to records: give --format csv or jsonl");

    return ScanFiles(parsed, format, enrich);
  });
}

}  // namespace tolvarine::cli
