// Writes a page log of PAGES records (default 1,000,000) over 5,000 sites to a temporary
// file, then builds its report as `tolvarine report` does, and prints the time taken and the
// process's peak memory. With "places" after PAGES the records also carry depths (links
// followed) and their new numbers by province and carrier.
#include <sys/resource.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "app/cli/report_command.h"
#include "engine/page_log.h"

int main(int argc, char** argv) {
  const int pages = argc > 1 ? std::stoi(argv[1]) : 1000000;
  const bool places = argc > 2 && std::string(argv[2]) == "places";
  // Province and carrier names in GBK, as the log holds them.
  const std::string provinces[] = {"\xb9\xe3\xb6\xab\xca\xa1", "\xbd\xad\xcb\xd5\xca\xa1",
                                   "\xb1\xb1\xbe\xa9\xca\xd0"};
  const std::string carriers[] = {"\xd6\xd0\xb9\xfa\xd2\xc6\xb6\xaf",
                                  "\xd6\xd0\xb9\xfa\xc1\xaa\xcd\xa8"};
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const std::string path =
      (std::filesystem::temp_directory_path() / "tolvarine-report-bench.csv").string();
  {
    std::ofstream out(path, std::ios::binary);
    out << tolvarine::PageLogCsvHeader(places) << "\r\n";
    std::mt19937 random(7);
    std::int64_t t = 1765300000000;
    for (int i = 1; i <= pages; ++i) {
      tolvarine::PageRecord r;
      r.line = i;
      r.site = "site" + std::to_string(random() % 5000) + ".example.cn";
      r.listed = r.final = "http://" + r.site + "/page/" + std::to_string(i) + ".html";
      r.startMs = t;
      r.endMs = t + 200 + static_cast<int>(random() % 3000);
      t = r.endMs + 50;
      const unsigned kind = random() % 20;
      r.outcome = kind == 0   ? tolvarine::PageOutcome::Abandoned
                  : kind == 1 ? tolvarine::PageOutcome::HarvestedEarly
                              : tolvarine::PageOutcome::Harvested;
      r.phonesAll = static_cast<int>(random() % 6);
      r.phonesNew = r.phonesAll / 2;
      r.linksAll = static_cast<int>(random() % 40);
      r.linksNew = r.linksAll / 3;
      if (places) {
        r.depth = static_cast<int>(random() % 4);
        r.places = true;
        for (int n = 0; n < r.phonesNew; ++n) {
          ++r.provinces[provinces[random() % 3]];
          ++r.carriers[carriers[random() % 2]];
        }
      }
      out << tolvarine::PageLogLine(tolvarine::RecordFormat::Csv, r) << "\r\n";
    }
  }
  const auto start = std::chrono::steady_clock::now();
  const std::string page = tolvarine::cli::ReportFromPageLog(path, "bench.txt");
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("pages %d  log %.1f MB  report %.2f s  page %.1f KB  peak memory %.1f MB\n", pages,
              static_cast<double>(std::filesystem::file_size(path)) / 1e6, seconds,
              static_cast<double>(page.size()) / 1e3, static_cast<double>(usage.ru_maxrss) / 1024);
  std::filesystem::remove(path);
  return 0;
}
