// The rows come through pipes: each child writes its numbers to descriptor 3 and its links
// to descriptor 4, and this process alone writes the output files. Separate processes
// rather than N pages in one: a renderer that crashes or a page that hangs costs only its
// own shard (its process keeps its own watchdog and progress file), and every shard keeps
// the one-page walk whose pacing and completion rules the window has.
#include "app/cli/harvest_jobs.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <unordered_set>

#include "app/cli/command_io.h"
#include "base/errors.h"

namespace tolvarine::cli {
namespace {

constexpr int kMaxJobs = 64;
pid_t children[kMaxJobs];
std::atomic<int> childCount{0};

void PassSignalOn(int signal) {
  for (int i = 0; i < childCount.load(); ++i) ::kill(children[i], signal);
}

// One output: its file, the rows already written (with dedup) and a failure once seen.
struct Output {
  std::FILE* file = stdout;
  bool owned = false;
  bool failed = false;
  std::unordered_set<std::string> seen;
  ~Output() {
    if (owned) std::fclose(file);
  }
  void Open(const std::optional<std::string>& path, bool append, bool readBack) {
    if (!path) return;
    if (readBack) {
      std::ifstream in(*path, std::ios::binary);
      for (std::string line; std::getline(in, line) && !in.eof();) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        seen.insert(line);
      }
    }
    file = std::fopen(path->c_str(), append ? "ab" : "wb");
    if (!file) throw FileCreateError(*path);
    owned = true;
  }
  void Write(const std::string& row, bool dedup) {
    if (failed || (dedup && !seen.insert(row).second)) return;
    try {
      WriteRow(file, row);
    } catch (const Error& e) {
      failed = true;
      PrintFailure(e.what());
    }
  }
};

// A pipe from one child: bytes not yet a whole row, and where its rows go.
struct Source {
  int fd;
  Output* output;
  std::string pending;
};

void ForwardRows(Source& source, const char* data, std::size_t size, bool dedup) {
  source.pending.append(data, size);
  std::size_t begin = 0;
  for (std::size_t end; (end = source.pending.find('\n', begin)) != std::string::npos;
       begin = end + 1) {
    std::string row = source.pending.substr(begin, end - begin);
    if (!row.empty() && row.back() == '\r') row.pop_back();
    source.output->Write(row, dedup);
  }
  source.pending.erase(0, begin);
}

}  // namespace

int RunHarvestJobs(const JobsPlan& plan) {
  if (plan.jobs < 1 || plan.jobs > kMaxJobs) throw Error("--jobs takes 1..64");
  Output phones, links;
  phones.Open(plan.phonesOut, plan.continuing, plan.continuing && plan.dedup);
  links.Open(plan.linksOut, plan.continuing, plan.continuing && plan.dedup);

  std::vector<Source> sources;
  std::signal(SIGPIPE, SIG_IGN);
  std::signal(SIGINT, PassSignalOn);
  std::signal(SIGTERM, PassSignalOn);
  for (int k = 0; k < plan.jobs; ++k) {
    int phonePipe[2], linkPipe[2];
    if (::pipe2(phonePipe, O_CLOEXEC) != 0 || ::pipe2(linkPipe, O_CLOEXEC) != 0)
      throw Error("cannot start the shard processes");
    std::vector<std::string> args = {"tolvarine-qt", "harvest"};
    args.insert(args.end(), plan.childArgs.begin(), plan.childArgs.end());
    for (const char* more : {"--shard", "", "--phones-out", "/dev/fd/3", "--links-out",
                             "/dev/fd/4"})
      args.push_back(more);
    args[args.size() - 5] = std::to_string(k) + "/" + std::to_string(plan.jobs);
    const pid_t pid = ::fork();
    if (pid < 0) throw Error("cannot start the shard processes");
    if (pid == 0) {
      ::signal(SIGINT, SIG_DFL);
      ::signal(SIGTERM, SIG_DFL);
      ::dup2(phonePipe[1], 3);
      ::dup2(linkPipe[1], 4);
      ::close(1);  // rows go only through the pipes
      ::open("/dev/null", O_WRONLY);
      std::vector<char*> argv;
      for (std::string& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::execv("/proc/self/exe", argv.data());
      ::_exit(127);
    }
    children[k] = pid;
    childCount.store(k + 1);
    ::close(phonePipe[1]);
    ::close(linkPipe[1]);
    sources.push_back({phonePipe[0], &phones, {}});
    sources.push_back({linkPipe[0], &links, {}});
  }

  std::vector<pollfd> fds;
  for (const Source& s : sources) fds.push_back({s.fd, POLLIN, 0});
  std::size_t open = fds.size();
  char buffer[65536];
  while (open > 0) {
    if (::poll(fds.data(), fds.size(), -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    for (std::size_t i = 0; i < fds.size(); ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        ForwardRows(sources[i], buffer, static_cast<std::size_t>(n), plan.dedup);
      } else if (n == 0 || errno != EINTR) {
        ::close(fds[i].fd);
        fds[i].fd = -1;
        --open;
      }
    }
  }
  bool allDone = true;
  for (int k = 0; k < plan.jobs; ++k) {
    int status = 0;
    while (::waitpid(children[k], &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
      allDone = false;
      std::fprintf(stderr, "shard %d/%d did not finish\n", k, plan.jobs);
    }
  }
  childCount.store(0);
  return allDone && !phones.failed && !links.failed ? 0 : 1;
}

}  // namespace tolvarine::cli
