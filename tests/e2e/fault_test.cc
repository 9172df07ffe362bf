// Fault injection: whatever goes wrong around it, the run ends with the right
// message and status, and the table holds exactly what was written.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "harness.h"

namespace tovel::e2e {
namespace {

std::string complete_table(int k, int n) {
  Scratch dir;
  write_numbered_series(dir, "S", k, n);
  const Outcome r = run_tovel(dir, {{"S", std::to_string(k)}, "0\n"});
  EXPECT_EQ(r.status, 0);
  return dir.read("All_S.txt");
}

// The table outgrows its buffer several times, so the limit strikes in the
// middle of the run.
TEST(Faults, TableWriteFailsMidway) {
  const std::string full = complete_table(40, 250);
  ASSERT_GT(full.size(), 150000u);
  Scratch dir;
  write_numbered_series(dir, "S", 40, 250);
  Invocation call{{"S", "40"}, "0\n"};
  call.file_size_limit = 100 * 512;
  const Outcome r = run_tovel(dir, call);
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err,
            "tovel: All_S.txt: cannot write the table file\nRun-time error: File too large\n");
  EXPECT_EQ(dir.read("All_S.txt"), full.substr(0, 100 * 512));
  EXPECT_FALSE(dir.exists("All_S.csv"));
}

struct OutputCase {
  const char* name;
  Output output;
  std::string err;
};

// Standard output that cannot be written: the run says so and never reports
// success. On a pipe nobody reads, the very first message fails; otherwise
// output is held until the first shell command, after the table is complete.
TEST(Faults, StandardOutputCannotBeWritten) {
  const OutputCase cases[] = {
      {"closed", Output::closed,
       "tovel: standard output: cannot write\nRun-time error: Bad file descriptor\n"},
      {"full device", Output::full_device,
       "tovel: standard output: cannot write\nRun-time error: No space left on device\n"},
      {"pipe nobody reads", Output::unread_pipe,
       "tovel: standard output: cannot write\nRun-time error: Broken pipe\n"},
  };
  const std::string full = complete_table(3, 5);
  for (const auto& c : cases) {
    Scratch dir;
    write_numbered_series(dir, "S", 3, 5);
    dir.write("All_S.txt", "older\n");
    Invocation call{{"S", "3"}, "0\n"};
    call.output = c.output;
    const Outcome r = run_tovel(dir, call);
    EXPECT_EQ(r.status, 2) << c.name;
    EXPECT_EQ(r.err, c.err) << c.name;
    const bool early = c.output == Output::unread_pipe;
    EXPECT_EQ(dir.read("All_S.txt"), early ? "older\n" : full) << c.name;
    EXPECT_FALSE(dir.exists("All_S.csv")) << c.name;
  }
}

TEST(Faults, StandardInputClosedAtEachPrompt) {
  const std::vector<std::string> calls[] = {{}, {"S"}, {"S", "3"}};
  for (const auto& args : calls) {
    Scratch dir;
    write_numbered_series(dir, "S", 3, 5);
    Invocation call{args};
    call.input_kind = Input::closed;
    const Outcome r = run_tovel(dir, call);
    EXPECT_EQ(r.status, 2) << args.size();
    EXPECT_EQ(r.err, "tovel: standard input:1: no line left to read\nRun-time error: End of file\n")
        << args.size();
  }
}

struct SecondFileCase {
  const char* name;
  int (*make)(const std::string& path);  // 0 on success
  std::string err;
};

// A second data file that cannot be opened or read ends the run with its
// report; the table keeps the header and the first file's row.
TEST(Faults, SecondDataFileFails) {
  const SecondFileCase cases[] = {
      {"a directory", [](const std::string& path) { return ::mkdir(path.c_str(), 0755); },
       "tovel: S0002.DAT: cannot open the data file\n"
       "Run-time error: Cannot open file 'S0002.DAT': Is a directory\n"},
      // Reading the process's own memory at address 0 fails with EIO, as a
      // failing disk does.
      {"a read error",
       [](const std::string& path) { return ::symlink("/proc/self/mem", path.c_str()); },
       "tovel: S0002.DAT:1: cannot read the data file\n"
       "Run-time error: Input/output error\n"},
  };
  const std::string full = complete_table(2, 5);
  const std::size_t first_row_end = full.find('\n', full.find('\n') + 1) + 1;
  for (const SecondFileCase& c : cases) {
    Scratch dir;
    write_numbered_series(dir, "S", 1, 5);
    ASSERT_EQ(c.make(dir.at("S0002.DAT")), 0) << c.name;
    const Outcome r = run_tovel(dir, {{"S", "2"}, ""});
    EXPECT_EQ(r.status, 2) << c.name;
    EXPECT_EQ(r.err, c.err) << c.name;
    EXPECT_EQ(dir.read("All_S.txt"), full.substr(0, first_row_end)) << c.name;
  }
}

struct ContentCase {
  const char* name;
  std::string bytes;  // the second file's content
  int status;
  std::string err;
  std::string rows;  // what the table holds below its header: its second file's row, if any
};

TEST(Faults, HostileDataFileContent) {
  const ContentCase cases[] = {
      {"a line of 1 MB beyond column 80",
       "1 5" + std::string(77, ' ') + std::string(1 << 20, 'x') + "\n2 6\n", 0, "",
       "G0002     \t     5.000    \t     6.000    \t     2.000    \t     6.000    \n"},
      {"a NUL byte in a value", std::string("1 2\0\n", 5), 2,
       "tovel: G0002.DAT:1: cannot read a number from \"2\\x00\"\n"
       "Run-time error: Bad value during floating point read\n",
       ""},
      {"binary garbage", "\x89PNG\r\n\x1a\n\x00\x00\x00\rIHDR", 2,
       "tovel: G0002.DAT:1: cannot read a number from \"\\x89PNG\"\n"
       "Run-time error: Bad value during floating point read\n",
       ""},
      {"only line ends", std::string(5000, '\n'), 1,  // 5000 points of (0, 0)
       "tovel: G0002.DAT:251: more than 250 points\n"
       "tovel: hint: G0002.DAT has 5000 points; --max-points 5000 collates files up to that "
       "length\n",
       ""},
      {"garbage after a token's 14th character", "1 2\n3 12345678901234abc\n", 2,
       "tovel: G0002.DAT:2: cannot read a number from \"12345678901234abc\"\n"
       "Run-time error: Bad value during floating point read\n",
       ""},
  };
  const std::string header_and_first_row =
      "X Values >\t     1.000    \t     2.000    \t      Xmax\t      Ymax\n"
      "G0001     \t     1.000    \t     2.000    \t     2.000    \t     2.000    \n";
  for (const auto& c : cases) {
    Scratch dir;
    dir.write("G0001.DAT", "1 1\n2 2\n");
    dir.write("G0002.DAT", c.bytes);
    const Outcome r = run_tovel(dir, {{"G", "2"}, "0\n"});
    EXPECT_EQ(r.status, c.status) << c.name;
    EXPECT_EQ(r.err, c.err) << c.name;
    const std::string table = dir.read("All_G.txt");
    if (c.status == 0) {
      EXPECT_TRUE(table.starts_with(header_and_first_row + c.rows)) << c.name << table;
    } else {
      EXPECT_EQ(table, header_and_first_row) << c.name;
    }
  }
}

TEST(Faults, FullSeriesWithEmptyFiles) {
  Scratch dir;
  std::string two_points = "1 3\n2 4\n";
  for (int i = 1; i <= 9999; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "F%04d.DAT", i);
    dir.write(name, i % 1000 == 500 ? "" : two_points);
  }
  const Outcome r = run_tovel(dir, {{"F", "9999"}, "0\n"});
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string table = dir.read("All_F.txt");
  std::size_t rows = 0;
  for (const char c : table)
    rows += c == '\n' ? 1 : 0;
  EXPECT_EQ(rows, 1u + 9999u + 3u);
  EXPECT_NE(table.find("\nF0500     \t     0.000    \t     0.000    \n"), std::string::npos);
  EXPECT_NE(
      table.find("\nF9999     \t     3.000    \t     4.000    \t     2.000    \t     4.000    \n"),
      std::string::npos);
}

}  // namespace
}  // namespace tovel::e2e
