#pragma once
// Result rows as the program writes them, in one place for the window's saved files and the
// command line's outputs: plain rows (the value alone, GBK, CR LF), CSV rows
// "value,page,time" under a header (GBK, CR LF) and JSON objects {"value","page","time"}
// one a line (UTF-8, LF). The time is local time, "YYYY-MM-DD HH:MM:SS", and empty, like
// the page, for a row found outside a page.
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "engine/number_info.h"
#include "engine/result_list.h"

namespace tolvarine {

enum class RecordFormat { Plain, Csv, Jsonl };

// The header row of a CSV result file, and the columns a number's place adds to it (JSON
// members of the same names).
inline constexpr char kResultCsvHeader[] = "value,page,time";
inline constexpr char kPlaceCsvColumns[] = ",province,city,carrier";
// The column a page's depth adds, before a place's, when links are followed.
inline constexpr char kDepthCsvColumn[] = ",depth";
// The column that ends a number's row when structured data is read: how the number was
// first found on its page (FoundInName; empty when not recorded).
inline constexpr char kFoundInCsvColumn[] = ",found_in";

// The time text of a source: empty when it has no time.
std::string SourceTimeText(const RowSource& source);

// One row in the format, without its line end; a source with a depth adds it, then a place
// its three fields, then with found-in the source's way of finding (not in plain rows).
std::string RecordText(RecordFormat format, const std::string& value, const RowSource& source,
                       const NumberPlace* place = nullptr, bool withFoundIn = false);
// What ends each row of the format.
const char* RecordLineEnd(RecordFormat format);
// What comes before the rows of a file in the format (with its line end): the CSV header.
std::string RecordsHeader(RecordFormat format, bool withPlace = false, bool withDepth = false,
                          bool withFoundIn = false);

// Makes the rows of one output: one format, with or without the depth, place and found-in
// columns (which the header names too). What repeats is formatted once and kept: a page's fields
// for its rows, the fields of each place (about a thousand in all). A row is built in one
// string used again and again.
class RecordMaker {
 public:
  RecordMaker(RecordFormat format, bool withPlace, bool withDepth, bool withFoundIn = false);
  // The CSV header without its line end; empty for the other formats.
  std::string Header() const;
  // Where the next rows were found (no depth column: the depth is not written).
  void SetSource(const RowSource& source);
  // How the next rows were found, where one page's rows differ in it.
  void SetFoundIn(FoundIn foundIn) { foundIn_ = foundIn; }
  // A row without its line end, valid until the next call; `place` is used with places.
  std::string_view Row(std::string_view value, const NumberPlace* place);

 private:
  const std::string& PlaceFields(const NumberPlace& place);

  RecordFormat format_;
  bool withPlace_;
  bool withDepth_;
  bool withFoundIn_;
  FoundIn foundIn_ = FoundIn::Unrecorded;
  std::string sourceFields_;
  std::unordered_map<const NumberPlace*, std::string> placeFields_;
  std::string row_;
};

// The value of a row read back from a file in the format (without its line end); none for
// the CSV header and for a line that is no row of the format.
std::optional<std::string> RecordValue(RecordFormat format, std::string_view line);

// A whole list as a file in the format: its header, then every row with its line end; with
// places (numbers only), each row's place follows, then with found-in (numbers only) how
// each row was found.
std::string ResultListText(const ResultList& list, RecordFormat format,
                           const NumberInfo* places = nullptr, bool withFoundIn = false);

}  // namespace tolvarine
