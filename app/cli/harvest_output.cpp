#include "app/cli/harvest_output.h"

#include <fstream>
#include <functional>

#include "app/cli/command_io.h"
#include "app/cli/progress_line.h"
#include "base/errors.h"
#include "base/file_names.h"
#include "base/record_file.h"
#include "number_data/block_table.h"

namespace tolvarine::cli {

struct HarvestOutput::Stream {
  explicit Stream(RecordMaker rowMaker) : maker(std::move(rowMaker)) {}
  std::FILE* file = stdout;
  bool owned = false;
  RecordMaker maker;
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

}  // namespace

FoundIn NumberFoundIn(const PageResult& page, std::size_t i) {
  return i < page.phonesFoundIn.size() ? page.phonesFoundIn[i] : FoundIn::Unrecorded;
}

RowSource NumberSource(const PageResult& page, std::size_t i) {
  RowSource source = page.source;
  source.foundIn = NumberFoundIn(page, i);
  return source;
}

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
    // Numbers carry their place with --enrich and how they were found with --structured;
    // links never do.
    const bool phones = kind == ResultKind::Phone;
    auto stream = std::make_unique<Stream>(RecordMaker(plan_.format, plan_.enrich && phones,
                                                       plan_.follow.depth > 0,
                                                       plan_.structured && phones));
    const std::string header =
        plan_.format == RecordFormat::Csv ? stream->maker.Header() + "\r\n" : std::string();
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
      // A continued output has its header, unless the walk before wrote nothing at all.
      stream->file = OpenRecordFile(*path, plan_.continuing, searched ? header : std::string(),
                                    RecordLineEnd(plan_.format));
      stream->owned = true;
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

bool HarvestOutput::WriteValue(ResultKind kind, const std::string& value) {
  if (failed_) return false;
  const NumberPlace* place =
      plan_.enrich && kind == ResultKind::Phone ? &numbers_->Look(value) : nullptr;
  Stream& stream = StreamOf(kind);
  try {
    // Rows on the terminal that shows the progress line go below it, not into it.
    ClearProgressLineBefore(stream.file);
    WriteRow(stream.file, stream.maker.Row(value, place), RecordLineEnd(plan_.format));
  } catch (const Error& e) {
    failed_ = true;
    PrintFailure(e.what());
    return false;
  }
  ++written_[Index(kind)];
  return true;
}

bool HarvestOutput::WriteRows(const PageResult& page) {
  for (const auto& [kind, values] : {std::pair{ResultKind::Link, &page.links},
                                     std::pair{ResultKind::Phone, &page.phones}}) {
    if (values->empty()) continue;
    RecordMaker& maker = StreamOf(kind).maker;
    maker.SetSource(page.source);
    for (std::size_t i = 0; i < values->size(); ++i) {
      if (kind == ResultKind::Phone) maker.SetFoundIn(NumberFoundIn(page, i));
      if (!WriteValue(kind, (*values)[i])) return false;
    }
  }
  return true;
}

}  // namespace tolvarine::cli

