// The command line's list tools and usage rules, through the real executable.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/app/child_process.h"
#include "tests/support/temp_folder.h"

namespace tolvarine::testing {
namespace {

ProcessResult RunTool(const std::vector<std::string>& args, const std::vector<std::string>& env = {}) {
  return RunProcess(TOLVARINE_EXE, args, env);
}

TEST(CommandLineUsage, HelpAndUnknownFlagsAndCommands) {
  ProcessResult help = RunTool({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("harvest"), std::string::npos);
  for (const char* command : {"harvest", "scan", "generate", "merge"}) {
    ProcessResult r = RunTool({command, "--help"});
    EXPECT_EQ(r.status, 0) << command;
    EXPECT_NE(r.out.find(std::string("tolvarine ") + command), std::string::npos) << command;
  }
  // A usage error is its message and where the usage is, never the usage itself.
  const struct {
    std::vector<std::string> args;
    std::string err;
  } wrong[] = {
      {{"scan", "--bogus", "x.txt"},
       "tolvarine: unknown option --bogus\nTry 'tolvarine scan --help'\n"},
      {{"scan"}, "tolvarine: no file to scan\nTry 'tolvarine scan --help'\n"},
      {{"merge", "a.txt"}, "tolvarine: missing -o\nTry 'tolvarine merge --help'\n"},
      {{"generate", "-o", "x", "--start", "1"},
       "tolvarine: missing --end\nTry 'tolvarine generate --help'\n"},
      {{"harvest", "list.txt", "--speed", "3", "--interval-ms", "10"},
       "tolvarine: --speed and --interval-ms exclude each other\n"
       "Try 'tolvarine harvest --help'\n"},
      {{"harvest", "list.txt", "--from", "many"},
       "tolvarine: --from takes a whole number from 0 to 2147483647, not 'many'\n"
       "Try 'tolvarine harvest --help'\n"},
      {{"report", "a.log"}, "tolvarine: missing -o\nTry 'tolvarine report --help'\n"},
      {{"frobnicate"}, "tolvarine: unknown command 'frobnicate'\nTry 'tolvarine --help'\n"},
  };
  for (const auto& w : wrong) {
    const ProcessResult r = RunTool(w.args);
    EXPECT_EQ(r.status, 2) << w.args[0];
    EXPECT_EQ(r.err, w.err);
    EXPECT_EQ(r.out, "");
  }
  // --help outweighs whatever else the line holds.
  EXPECT_EQ(RunTool({"scan", "--bogus", "--help"}).status, 0);
}

TEST(WindowStart, AnUnreachableDisplayGivesOneLineAndStatusTwo) {
  ProcessResult r =
      RunTool({}, {"DISPLAY=:4321", "QT_QPA_PLATFORM=", "WAYLAND_DISPLAY=", "XAUTHORITY=/none"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err.rfind("tolvarine: cannot connect to the display \":4321\"", 0), 0u) << r.err;
  EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
}

TEST(ScanCommand, PrintsNumbersFromFilesWithTheWindowsRules) {
  TempFolder dir;
  std::string a = dir.Write("a.html", "<p>13812345678 and 15912345678</p>\r\n<a title=\"18612345678\">\n");
  std::string b = dir.Write("b.txt", "13812345678\n1381234567 too short\n");
  ProcessResult r = RunTool({"scan", a, b}, {"TOLVARINE_STATE_DIR=" + dir.Path()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "13812345678\r\n15912345678\r\n18612345678\r\n13812345678\r\n");

  ProcessResult dedup = RunTool({"scan", "--dedup", a, b}, {"TOLVARINE_STATE_DIR=" + dir.Path()});
  EXPECT_EQ(dedup.out, "13812345678\r\n15912345678\r\n18612345678\r\n");

  // Lines in order; within a line, the prefixes in the order given.
  std::string c = dir.Write("c.txt", "15912345678 18612345678\n");
  ProcessResult own = RunTool({"scan", "--prefixes", "186,159", a, c});
  EXPECT_EQ(own.out, "15912345678\r\n18612345678\r\n18612345678\r\n15912345678\r\n");

  // The saved prefix list of the window is used when no --prefixes is given.
  dir.Write("kqwebmobset.ini", "159\r\n");
  ProcessResult saved = RunTool({"scan", a}, {"TOLVARINE_STATE_DIR=" + dir.Path()});
  EXPECT_EQ(saved.out, "15912345678\r\n");
}

TEST(ScanCommand, FormattedAddsGroupedNumbersAfterEachLinesOrdinaryOnes) {
  TempFolder dir;
  std::string a = dir.Write("a.txt",
                            "tel 138-1234-5678, 13812345679 +86 15912345678\n"
                            "138-1234 5678 138.1234.56789\n0086 138 1234 5670\n");
  ProcessResult plain = RunTool({"scan", "--prefixes", "13,15", a});
  EXPECT_EQ(plain.out, "13812345679\r\n15912345678\r\n");
  // The number after +86 is the ordinary one and comes once; mixed separators and a
  // longer last group are no numbers.
  ProcessResult formatted = RunTool({"scan", "--formatted", "--prefixes", "13,15", a});
  EXPECT_EQ(formatted.status, 0) << formatted.err;
  EXPECT_EQ(formatted.out, "13812345679\r\n15912345678\r\n13812345678\r\n13812345670\r\n");
}

TEST(ScanCommand, AMissingFileFailsButTheOthersAreScanned) {
  TempFolder dir;
  std::string a = dir.Write("a.txt", "13812345678\n");
  ProcessResult r = RunTool({"scan", dir.PathOf("missing.txt"), a}, {"TOLVARINE_STATE_DIR=" + dir.Path()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Cannot open file " + dir.PathOf("missing.txt")), std::string::npos);
  EXPECT_EQ(r.out, "13812345678\r\n");
}

TEST(ScanCommand, ReadsStandardInputWholeAmongFiles) {
  TempFolder dir;
  // Numbers at the start, across the 1 MiB and 2 MiB marks, and at the very end.
  std::string input = "13812345678 ";
  input.append((1 << 20) - input.size() - 5, 'x');
  input += "15912345678\n";
  input.append((2 << 20) - input.size() - 3, 'y');
  input += "18612345678\r\n13812345678";
  dir.Write("in.txt", input);
  std::string b = dir.Write("b.txt", "15912345678\n");
  const std::string command = std::string(TOLVARINE_EXE) + " scan --dedup " + b + " - " + b +
                              " < " + dir.PathOf("in.txt");
  ProcessResult r = RunProcess("/bin/sh", {"-c", command}, {"TOLVARINE_STATE_DIR=" + dir.Path()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "15912345678\r\n13812345678\r\n18612345678\r\n");

  ProcessResult all = RunProcess("/bin/sh", {"-c", std::string(TOLVARINE_EXE) + " scan - < " +
                                                        dir.PathOf("in.txt")});
  EXPECT_EQ(all.out, "13812345678\r\n15912345678\r\n18612345678\r\n13812345678\r\n");

  // Nothing after a NUL counts, however far on; the input is still read to its end.
  std::string nul("13812345678\n\0", 13);
  nul.append(1 << 20, 'z');
  dir.Write("nul.txt", nul + "\n15912345678\n");
  ProcessResult cut = RunProcess("/bin/sh", {"-c", "cat " + dir.PathOf("nul.txt") + " | " +
                                                       TOLVARINE_EXE + " scan -"});
  EXPECT_EQ(cut.status, 0) << cut.err;
  EXPECT_EQ(cut.out, "13812345678\r\n");
}

TEST(CommandExecutable, RunsTheTextCommandsWithoutTheQtExecutable) {
  TempFolder dir;
  const std::string alone = dir.PathOf("tolvarine");
  std::filesystem::copy_file(TOLVARINE_EXE, alone);
  const std::vector<std::string> env = {"TOLVARINE_STATE_DIR=" + dir.Path()};
  std::string a = dir.Write("a.txt", "13812345678\n");
  ProcessResult scan = RunProcess(alone, {"scan", a}, env);
  EXPECT_EQ(scan.status, 0) << scan.err;
  EXPECT_EQ(scan.out, "13812345678\r\n");
  EXPECT_EQ(RunProcess(alone, {"--version"}, env).status, 0);

  // The window and harvest need it: one line naming it, status 1.
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, std::vector<std::string>{"harvest", "--help"}}) {
    ProcessResult r = RunProcess(alone, args, env);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(dir.PathOf("tolvarine-qt")), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
  }
}

TEST(GenerateCommand, WritesBothFormsByteForByte) {
  TempFolder dir;
  ProcessResult one = RunTool({"generate", "-o", dir.PathOf("one.txt"), "--prefix", "list_", "--start",
                           "1", "--end", "3", "--step", "20", "--suffix", ".htm"});
  EXPECT_EQ(one.status, 0) << one.err;
  EXPECT_EQ(dir.Read("one.txt"), "list_20.htm\r\nlist_40.htm\r\nlist_60.htm\r\n");

  ProcessResult two = RunTool({"generate", "-o", dir.PathOf("two.txt"), "--front", "http://b.example/",
                           "--start", "1", "--end", "3", "--middle", "-", "--start2", "10",
                           "--back", ".html"});
  EXPECT_EQ(two.status, 0) << two.err;
  EXPECT_EQ(dir.Read("two.txt"),
            "http://b.example/1-10.html\r\nhttp://b.example/2-11.html\r\nhttp://b.example/3-12.html\r\n");
}

// A run that fails leaves the old file byte for byte, with no temporary file beside it;
// every failure names what went wrong.
TEST(GenerateCommand, AFailingRunLeavesTheOldFileAsItWas) {
  struct Case {
    std::vector<std::string> fields;
    int status;
    std::string message;  // part of standard error; empty when the run succeeds
    std::string written;  // the file after a run that succeeds
  };
  const std::vector<std::string> one = {"--prefix", "p", "--step", "2"};
  const std::vector<std::string> two = {"--front", "f", "--middle", "-"};
  auto with = [](std::vector<std::string> form, std::vector<std::string> more) {
    form.insert(form.end(), more.begin(), more.end());
    return form;
  };
  const std::vector<Case> cases = {
      {with(one, {"--start", "x", "--end", "3"}), 2, "'x' is not a valid integer value", ""},
      {with(one, {"--start", "1", "--end", "99999999999"}), 2, "'99999999999' is not", ""},
      {{"--prefix", "p", "--step", "abc", "--start", "1", "--end", "3"}, 2, "'abc' is not", ""},
      {with(two, {"--start", "1", "--end", "2", "--start2", "y"}), 2, "'y' is not", ""},
      {with(two, {"--start", "1", "--end", "z", "--start2", "5"}), 2, "'z' is not", ""},
      {with(one, {"--start", "2", "--end", "3"}), 0, "", "p4\r\np6\r\n"},
      // An empty range gives an empty file, as the generator window does.
      {with(one, {"--start", "3", "--end", "1"}), 0, "", ""},
  };
  for (const Case& c : cases) {
    TempFolder dir;
    const std::string old = dir.Write("old.txt", "kept\r\n");
    std::vector<std::string> args = {"generate", "-o", old};
    args.insert(args.end(), c.fields.begin(), c.fields.end());
    ProcessResult r = RunTool(args);
    const std::string shown = ::testing::PrintToString(c.fields);
    EXPECT_EQ(r.status, c.status) << shown << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << shown << r.err;
    EXPECT_EQ(dir.Read("old.txt"), c.status == 0 ? c.written : "kept\r\n") << shown;
    int entries = 0;
    for ([[maybe_unused]] auto& entry : std::filesystem::directory_iterator(dir.Path())) ++entries;
    EXPECT_EQ(entries, 1) << shown;
  }

  // An output that cannot be made is named.
  TempFolder dir;
  for (const std::string& out : {dir.PathOf("none/urls.txt"), dir.Path() + "."}) {
    ProcessResult r = RunTool({"generate", "-o", out, "--prefix", "p", "--start", "1", "--end", "2"});
    EXPECT_EQ(r.status, 1) << out;
    EXPECT_NE(r.err.find("Cannot create file " + out), std::string::npos) << r.err;
  }
}

TEST(MergeCommand, MergesSortsAndDedupsAfterReadingEveryInput) {
  TempFolder dir;
  std::string a = dir.Write("a.txt", "pear\r\nABC\r\napple\n");
  std::string b = dir.Write("b.txt", "abc\rapple\r\n\r\n");
  ProcessResult r = RunTool({"merge", "-o", a, a, b});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(dir.Read("a.txt"), "\r\nABC\r\napple\r\npear\r\n");

  ProcessResult missing = RunTool({"merge", "-o", dir.PathOf("out.txt"), dir.PathOf("nope.txt")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("Cannot open file"), std::string::npos);
  EXPECT_FALSE(dir.Exists("out.txt"));
}

}  // namespace
}  // namespace tolvarine::testing
