#pragma once
// What the parent of a --jobs run holds back from its outputs (with --dedup, numbers and page
// records until every shard has read past their line), kept in a file of the state folder:
// a shard saves a page as done only once what it sent for it is written or kept here, and a
// run continued after a kill takes the kept messages back. The file holds the messages as
// the shards sent them, one a line, and "R<tab>L" once everything held below line L has
// been written.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace tolvarine::cli {

class ShardJournal {
 public:
  explicit ShardJournal(std::string path) : path_(std::move(path)) {}
  ~ShardJournal();
  ShardJournal(const ShardJournal&) = delete;
  ShardJournal& operator=(const ShardJournal&) = delete;

  // Opens the journal. A new run empties it; a continued one gets back the messages still
  // held, and the file is replaced by them alone. Throws FileCreateError.
  std::vector<std::string> Open(bool continuing);
  // A held message (with its line end), written at the next Flush at the latest.
  void Keep(std::string_view message);
  // Everything held below the line has been written to the outputs.
  void Released(int belowLine);
  // What was kept is in the file; false, and from then on, when it could not be written.
  bool Flush();
  // Nothing is held any more: the file is removed.
  void Clear();

 private:
  std::string path_;
  std::FILE* file_ = nullptr;
  bool failed_ = false;
};

// The messages of a journal's text that are still held: those before a release of their
// line are not, nor is a last line cut short.
std::vector<std::string> StillHeld(std::string_view journal);

}  // namespace tolvarine::cli
