#pragma once
// The window walk's page log: while the report option is on, each page's record goes to a
// file in the state folder as the page ends (CSV, GBK, CR LF, under a header), never held
// in memory, so the save command can build a report beside the lists. A new walk replaces
// the file, a continued one adds to it. The file is opened by the walk's first record, or
// once the walk has begun, so a walk that never begins leaves the previous log as it was.
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "engine/page_log.h"

namespace tolvarine {

inline constexpr char kWalkPageLogFileName[] = "tolvarine-pages.csv";

class WalkPageLog : public PageLogSink {
 public:
  // onFailure gets the (GBK) message of the first failed write of a walk; it is called
  // from inside the walk's event, so it must not show a dialog there.
  WalkPageLog(std::string path, std::function<void(const std::string&)> onFailure);
  ~WalkPageLog() override;
  WalkPageLog(const WalkPageLog&) = delete;
  WalkPageLog& operator=(const WalkPageLog&) = delete;

  const std::string& Path() const { return path_; }
  // A walk is about to begin (continuing: adding to the log); with places, its records
  // carry the place columns, and with reveals (scrolling or clicking "more") the reveal ones.
  void Expect(bool continuing, bool places = false, bool reveals = false);
  // The expected walk has begun: opens the log if no record has. Throws FileCreateError
  // (and the log counts as failed).
  void Begun();
  // The expected walk did not begin.
  void NotBegun() { pending_.reset(); }
  // A walk began without the log: the file no longer describes the window's walk.
  void Drop();
  void OnPage(const PageRecord& record) override;
  // A walk of this window wrote the file.
  bool Holds() const { return holds_; }
  // The log of the last logged walk could not be opened, or a write failed: the file misses
  // records.
  bool Failed() const { return failed_; }

 private:
  void Open();
  void Close();
  void Write(const std::string& line);
  void Fail(const std::string& message);

  std::string path_;
  std::function<void(const std::string&)> onFailure_;
  std::optional<bool> pending_;  // a walk expected; true when it continues
  bool places_ = false;
  bool reveals_ = false;
  std::FILE* file_ = nullptr;
  bool holds_ = false;
  bool failed_ = false;
};

}  // namespace tolvarine
