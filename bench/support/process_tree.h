#pragma once
// The processes a measurement counts: this one and every process below it (WebEngine's
// zygote, renderers and GPU process), read from /proc.
#include <map>

namespace tolvarine::bench {

struct ProcessStat {
  int parent = -1;
  long cpuTicks = 0;  // user and system time, in clock ticks
};

// This process and its descendants by process id. A process that ends while the table is
// read is left out.
std::map<int, ProcessStat> ProcessTree();

}  // namespace tolvarine::bench
