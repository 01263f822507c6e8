#pragma once
// What a walk makes of one page: the page log's record and the rows the page gave, all
// found at one place and time. The walk hands each page's result to its page pipeline
// (PagePipeline), which leaves out and counts rows, then gives the result to its sinks.
#include <string>
#include <vector>

#include "engine/page_log.h"
#include "engine/result_list.h"

namespace tolvarine {

struct PageResult {
  PageRecord record;
  // Where the rows were found: the page as the browser reported it, the time of the
  // harvest and the depth (-1 when links are not followed).
  RowSource source;
  std::vector<std::string> links;   // the accepted links, each once a page
  std::vector<std::string> phones;  // the numbers in the order found, repeats included
  // With structured data on: how each number of `phones` was found (same order and size);
  // empty otherwise.
  std::vector<FoundIn> phonesFoundIn;
};

// Where the pipeline hands each page's result once its rows are settled.
class PageResultSink {
 public:
  virtual ~PageResultSink() = default;
  virtual void OnPage(const PageResult& page) = 0;
};

}  // namespace tolvarine
