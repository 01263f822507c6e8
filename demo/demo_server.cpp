// Serves the sample site on 127.0.0.1 for the demo: every file of the given folder under
// its name, on an ephemeral port. Prints the base address, then serves until standard
// input closes or the process is told to stop.
#include <dirent.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>

#include "base/atomic_file.h"
#include "tests/support/local_http_server.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: demo_server SITE_FOLDER\n");
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "/";
  tolvarine::testing::LocalHttpServer server;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) {
    std::perror(argv[1]);
    return 1;
  }
  while (dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    if (name.empty() || name[0] == '.') continue;
    tolvarine::testing::HttpResponse response;
    response.body = tolvarine::ReadWholeFile(folder + name);
    // The one page written in GBK says so in its header too.
    response.contentType = name.rfind("gbk", 0) == 0 ? "text/html; charset=gbk"
                                                     : "text/html; charset=utf-8";
    server.Route("/" + name, response);
  }
  ::closedir(dir);
  std::printf("%s\n", server.Url("").c_str());
  std::fflush(stdout);
  // Serve until standard input closes (the demo script keeps it open while it runs).
  char buffer[256];
  while (::read(0, buffer, sizeof buffer) > 0) {
  }
  return 0;
}
