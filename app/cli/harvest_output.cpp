#include "app/cli/harvest_output.h"

#include <fstream>
#include <functional>

#include "app/cli/command_io.h"
#include "app/cli/progress_line.h"
#include "base/errors.h"
#include "base/file_names.h"
#include "base/platform/file_system.h"
#include "number_data/block_table.h"

namespace tolvarine::cli {

struct HarvestOutput::Stream {
  std::FILE* file = stdout;
  bool owned = false;
  ~Stream() {
    if (owned) std::fclose(file);
  }
};

namespace {

// The values of the whole rows of an output file (a row cut short at the end is not one).
void ReadBack(const std::string& path, RecordFormat format,
              const std::function<void(const std::string&)>& held) {
  std::ifstream in(path, std::ios::binary);
  for (std::string line; std::getline(in, line) && !in.eof();) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (auto value = RecordValue(format, line)) held(*value);
  }
}

// A continued walk adds to the file. A row cut short by a killed process is ended first, so
// that the next row does not run into it.
std::FILE* OpenForAdding(const std::string& path, RecordFormat format, bool& empty) {
  std::FILE* file = platform::OpenStream(path, "ab+");
  if (!file) throw FileCreateError(GbkFileName(path));
  empty = std::fseek(file, -1, SEEK_END) != 0;
  if (!empty) {
    const bool cutShort = std::fgetc(file) != '\n';
    std::fseek(file, 0, SEEK_END);
    if (cutShort) WriteRow(file, "", RecordLineEnd(format));
  }
  return file;
}

}  // namespace

HarvestOutput::HarvestOutput(const HarvestPlan& plan) : plan_(plan) {
  if (plan.enrich || plan.validOnly) numbers_ = std::make_unique<BlockTableNumberInfo>();
}

HarvestOutput::~HarvestOutput() = default;

HarvestOutput::Stream& HarvestOutput::StreamOf(ResultKind kind) {
  return kind == ResultKind::Phone ? *phones_ : *links_;
}

void HarvestOutput::Open(PagePipeline* pipeline) {
  const bool readBack = pipeline && plan_.continuing && plan_.dedup;
  bool stdoutHeaderDue = false;
  std::string stdoutHeader;
  for (const auto& [kind, path, searched] :
       {std::tuple{ResultKind::Phone, plan_.phonesOut, plan_.phones},
        std::tuple{ResultKind::Link, plan_.linksOut, plan_.links}}) {
    // Numbers carry their place with --enrich; links never do.
    const std::string header =
        RecordsHeader(plan_.format, plan_.enrich && kind == ResultKind::Phone,
                      plan_.follow.depth > 0);
    auto stream = std::make_unique<Stream>();
    if (!path) {
      // Both lists on standard output share one header, written once.
      if (searched && !plan_.continuing && !stdoutHeaderDue) {
        stdoutHeaderDue = true;
        stdoutHeader = header;
      }
    } else {
      if (readBack) {
        ReadBack(*path, plan_.format, [pipeline, kind](const std::string& value) {
          if (kind == ResultKind::Phone) {
            pipeline->HeldNumber(value);
          } else {
            pipeline->HeldLink(value);
          }
        });
      }
      bool empty = true;
      stream->file = plan_.continuing ? OpenForAdding(*path, plan_.format, empty)
                                      : platform::OpenStream(*path, "wb");
      if (!stream->file) throw FileCreateError(GbkFileName(*path));
      stream->owned = true;
      // A continued output has its header, unless the walk before wrote nothing at all.
      if (searched && empty && !header.empty()) WriteRow(stream->file, header, "");
    }
    (kind == ResultKind::Phone ? phones_ : links_) = std::move(stream);
  }
  if (stdoutHeaderDue && !stdoutHeader.empty()) WriteRow(stdout, stdoutHeader, "");
}

void HarvestOutput::PrintTotals(int abandoned, int early, int dropped) const {
  std::fprintf(stderr, "pages abandoned by the watchdog: %d\n", abandoned);
  std::fprintf(stderr, "pages harvested before their load completed: %d\n", early);
  std::fprintf(stderr, "rows written: links %d  phones %d\n", Written(ResultKind::Link),
               Written(ResultKind::Phone));
  if (DropsInvalid()) PrintDroppedNumbers(dropped);
}

bool HarvestOutput::Write(ResultKind kind, const std::string& value, const RowSource& source) {
  if (failed_) return false;
  const NumberPlace* place =
      plan_.enrich && kind == ResultKind::Phone ? &numbers_->Look(value) : nullptr;
  Stream& stream = StreamOf(kind);
  try {
    // Rows on the terminal that shows the progress line go below it, not into it.
    ClearProgressLineBefore(stream.file);
    WriteRow(stream.file,
             RecordText(plan_.format, value, source, place),
             RecordLineEnd(plan_.format));
  } catch (const Error& e) {
    failed_ = true;
    PrintFailure(e.what());
    return false;
  }
  ++written_[Index(kind)];
  return true;
}

bool HarvestOutput::WriteRows(const PageResult& page) {
  for (const std::string& link : page.links) {
    if (!Write(ResultKind::Link, link, page.source)) return false;
  }
  for (const std::string& number : page.phones) {
    if (!Write(ResultKind::Phone, number, page.source)) return false;
  }
  return true;
}

}  // namespace tolvarine::cli

