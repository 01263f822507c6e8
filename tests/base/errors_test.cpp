#include "base/errors.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <new>
#include <string>
#include <vector>

#include "base/guard.h"

namespace tolvarine {
namespace {

TEST(ErrorTexts, TextFileCodes) {
  EXPECT_EQ(InOutErrorMessage(2), "File not found");
  EXPECT_EQ(InOutErrorMessage(3), "Invalid filename");
  EXPECT_EQ(InOutErrorMessage(4), "Too many open files");
  EXPECT_EQ(InOutErrorMessage(5), "File access denied");
  EXPECT_EQ(InOutErrorMessage(100), "Read beyond end of file");
  EXPECT_EQ(InOutErrorMessage(101), "Disk full");
  EXPECT_EQ(InOutErrorMessage(106), "Invalid numeric input");
  EXPECT_EQ(InOutErrorMessage(103), "I/O error 103");
  EXPECT_EQ(InOutErrorMessage(EXDEV), "I/O error " + std::to_string(EXDEV));
  InOutError error(5);
  EXPECT_EQ(error.code(), 5);
  EXPECT_STREQ(error.what(), "File access denied");
}

TEST(ErrorTexts, ErrnoMapsToTextFileCodes) {
  EXPECT_EQ(InOutCodeFromErrno(ENOENT), 2);
  EXPECT_EQ(InOutCodeFromErrno(ENOTDIR), 2);
  EXPECT_EQ(InOutCodeFromErrno(ENAMETOOLONG), 3);
  EXPECT_EQ(InOutCodeFromErrno(EMFILE), 4);
  EXPECT_EQ(InOutCodeFromErrno(EACCES), 5);
  EXPECT_EQ(InOutCodeFromErrno(EROFS), 5);
  EXPECT_EQ(InOutCodeFromErrno(EISDIR), 5);
  EXPECT_EQ(InOutCodeFromErrno(ENOSPC), 101);
  EXPECT_EQ(InOutCodeFromErrno(EXDEV), EXDEV);
  // An error whose number is a code of the table keeps its own meaning.
  EXPECT_STREQ(InOutError(InOutCodeFromErrno(EIO)).what(), "I/O error 5");
  EXPECT_STREQ(InOutError(InOutCodeFromErrno(EINTR)).what(), "I/O error 4");
}

TEST(ErrorTexts, OtherFailureTypes) {
  EXPECT_STREQ(FileOpenError("/a/b.txt").what(), "Cannot open file /a/b.txt");
  EXPECT_STREQ(FileCreateError("c.txt").what(), "Cannot create file c.txt");
  EXPECT_STREQ(StreamWriteError().what(), "Stream write error");
  EXPECT_STREQ(OutOfMemoryError().what(), "Out of memory");
  EXPECT_STREQ(ConvertError("x").what(), "'x' is not a valid integer value");
}

TEST(ErrorDialog, FullStopOnlyAfterBytesSortingAfterDot) {
  EXPECT_EQ(ErrorDialogText("File not found"), "File not found.");
  EXPECT_EQ(ErrorDialogText("I/O error 32"), "I/O error 32.");
  EXPECT_EQ(ErrorDialogText("Done."), "Done.");
  EXPECT_EQ(ErrorDialogText("Stop!"), "Stop!");
  EXPECT_EQ(ErrorDialogText("(value)"), "(value)");
  EXPECT_EQ(ErrorDialogText("trailing "), "trailing ");
  EXPECT_EQ(ErrorDialogText("a/"), "a/.");
  EXPECT_EQ(ErrorDialogText(""), "");
  // Ends in a double-byte character (GBK for the word "error"): its trail byte is > 0x7F.
  EXPECT_EQ(ErrorDialogText("\xB4\xED\xCE\xF3"), "\xB4\xED\xCE\xF3.");
}

TEST(Guard, ReportsFailuresAndCarriesOn) {
  std::vector<std::string> seen;
  ErrorSink sink = [&](const std::string& m) { seen.push_back(m); };

  EXPECT_TRUE(RunGuarded(sink, [] {}));
  EXPECT_FALSE(RunGuarded(sink, [] { throw InOutError(2); }));
  EXPECT_FALSE(RunGuarded(sink, [] { throw std::bad_alloc(); }));
  EXPECT_FALSE(RunGuarded(sink, [] { throw 42; }));
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0], "File not found");
  EXPECT_EQ(seen[1], "Out of memory");
  EXPECT_FALSE(seen[2].empty());

  // Neither a failing sink nor a missing one lets the failure escape.
  ErrorSink throwingSink = [](const std::string&) { throw std::runtime_error("sink"); };
  EXPECT_FALSE(RunGuarded(throwingSink, [] { throw ConvertError("a"); }));
  EXPECT_FALSE(RunGuarded(ErrorSink(), [] { throw ConvertError("a"); }));
}

}  // namespace
}  // namespace tolvarine
