#include "ui/tray/stderr_sink.h"

#include <cstdio>
#include <string>

#include "base/gbk.h"

namespace tolvarine {

ErrorSink StderrSink() {
  return [](const std::string& messageGbk) {
    const std::string text = GbkToUtf8(messageGbk);
    std::fprintf(stderr, "tolvarine: %s\n", text.c_str());
  };
}

}  // namespace tolvarine
