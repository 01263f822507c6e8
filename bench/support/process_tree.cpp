#include "bench/support/process_tree.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace tolvarine::bench {
namespace {

ProcessStat ReadStat(int pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ProcessStat s;
  // The command name in parentheses may hold blanks: the fields start after the last ')'.
  const auto close = stat.rfind(')');
  if (close == std::string::npos) return s;
  std::istringstream rest(stat.substr(close + 2));
  std::string field;
  // state(3) ppid(4) ... utime(14) stime(15).
  for (int index = 3; index <= 15 && rest >> field; ++index) {
    if (index == 4) s.parent = std::atoi(field.c_str());
    if (index == 14 || index == 15) s.cpuTicks += std::atol(field.c_str());
  }
  return s;
}

}  // namespace

std::map<int, ProcessStat> ProcessTree() {
  std::map<int, ProcessStat> all;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
    const std::string name = entry.path().filename().string();
    if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
    const int pid = std::atoi(name.c_str());
    const ProcessStat stat = ReadStat(pid);
    if (stat.parent >= 0) all[pid] = stat;
  }
  const int self = static_cast<int>(getpid());
  std::map<int, ProcessStat> tree;
  for (const auto& [pid, stat] : all) {
    int p = pid;
    while (p > 1 && p != self) {
      const auto found = all.find(p);
      p = found == all.end() ? -1 : found->second.parent;
    }
    if (p == self) tree[pid] = stat;
  }
  return tree;
}

}  // namespace tolvarine::bench
