// The command line's options, and the warnings and refusals for inputs that
// would otherwise mislead in silence.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "harness.h"

namespace tovel::e2e {
namespace {

bool directory_holds_only(const Scratch& dir, std::size_t entries) {
  std::size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path()))
    ++count;
  return count == entries;
}

// Each of these options prints what it is asked for, exits 0 and writes no
// file.
TEST(Options, HelpAndVersion) {
  struct Case {
    std::string option;
    std::string begins;  // standard output's first line
  };
  const Case cases[] = {{"--help", "Usage: tovel [OPTION]... [FIRST-NAME [COUNT]]\n"},
                        {"-h", "Usage: tovel [OPTION]... [FIRST-NAME [COUNT]]\n"},
                        {"--version", "tovel 1.0.1\n"},
                        {"-V", "tovel 1.0.1\n"}};
  for (const Case& c : cases) {
    Scratch dir;
    Invocation call{{c.option, "2"}, ""};
    call.fake_commands = false;
    const Outcome r = run_tovel(dir, call);
    EXPECT_EQ(r.status, 0) << c.option;
    EXPECT_EQ(r.err, "") << c.option;
    EXPECT_TRUE(r.out.starts_with(c.begins)) << c.option << r.out;
    EXPECT_TRUE(directory_holds_only(dir, 0)) << c.option;
  }
}

// A series whose files differ in their count of points keeps its table (as
// an exact computation gives it) and status, with one warning that says why
// its columns mix.
TEST(Warnings, RaggedSeries) {
  Scratch dir;
  dir.write("R0001.DAT", "1 10\n2 20\n");
  dir.write("R0002.DAT", "1 12\n2 18\n\n");
  dir.write("R0003.DAT", "1 11\n2 22\n3 5\n");
  const Outcome r = run_tovel(dir, {{"R", "3"}, "0\n"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err,
            "tovel: warning: R0002.DAT has 3 points but R0001.DAT has 2: the summary rows match "
            "columns by position (the last line of R0002.DAT is empty and read as the point "
            "(0, 0))\n"
            "tovel: warning: R0002.DAT:3: an empty line is read as the point (0, 0)\n");
  EXPECT_EQ(dir.read("All_R.txt"),
            "X Values >\t     1.000    \t     2.000    \t      Xmax\t      Ymax\n"
            "R0001     \t     10.00    \t     20.00    \t     2.000    \t     20.00    \n"
            "R0002     \t     12.00    \t     18.00    \t     0.000    \t     2.000    \t"
            "     18.00    \n"
            "R0003     \t     11.00    \t     22.00    \t     5.000    \t     2.000    \t"
            "     22.00    \n"
            "Average   \t     11.00    \t     20.00    \t     2.333    \t     8.000    \t"
            "     13.33    \t\n"
            "Std Dev   \t     1.000    \t     2.000    \t     2.517    \t     10.39    \t"
            "     11.72    \t\n"
            "CV %      \t     9.091    \t     10.00    \t     107.9    \t     129.9    \t"
            "     87.89    \t\n");
}

// A first name typed with a NUL in it names no file: nothing is read or
// written under the shorter name before the NUL.
TEST(Refusals, NulInTheFirstName) {
  struct Case {
    const char* name;
    std::string typed;
    int status;
    std::string err;
  };
  const Case cases[] = {
      {"in the prefix: the table's name", std::string("a\0b0001.DAT\n2\n", 15), 2,
       "tovel: All_a\\x00b.txt: cannot open the table file\n"
       "Run-time error: Cannot open file 'All_a\\x00b.txt': Invalid argument\n"},
      {"beyond the table's name: the data file's",
       "ABCDEFGHIJKLMNOPQRSTUVWXYZ01" + std::string("\0", 1) + "0001.DAT\n2\n", 1, ""},
  };
  for (const Case& c : cases) {
    Scratch dir;
    for (const char* shorter : {"a", "ABCDEFGHIJKLMNOPQRSTUVWXYZ01"})
      dir.write(shorter, "1 2\n");
    const Outcome r = run_tovel(dir, {{}, c.typed});
    EXPECT_EQ(r.status, c.status) << c.name;
    EXPECT_EQ(r.err, c.err) << c.name;
    EXPECT_FALSE(dir.exists("All_a")) << c.name;
    EXPECT_EQ(dir.read("a"), "1 2\n") << c.name;
  }
}

struct LeftOutCase {
  const char* name;
  std::vector<std::string> files;  // each holding one point
  std::vector<std::string> args;
  int status;
  std::string err;
};

// What a numbered series leaves out is said: a first name that names a file
// of another series gets the --files command that reads it (a first file in
// another case, a warning too), which pasted into a shell collates the files
// and runs nothing else; a file 0000 beside the series gets a warning, and
// so do rows that share a label.
TEST(Warnings, WhatANumberedSeriesLeavesOut) {
  const LeftOutCase cases[] = {
      {"numbers of three digits",
       {"sample_001.txt", "sample_002.txt", "sample_003.txt"},
       {"sample_001.txt", "3"},
       1,
       "tovel: hint: found sample_001.txt to sample_003.txt; tovel --files sample_*.txt collates "
       "them\n"},
      {"numbers without leading zeros",
       {"Scan-1.csv", "Scan-2.csv", "Scan-10.csv"},
       {"Scan-1.csv", "3"},
       1,
       "tovel: hint: found Scan-1.csv to Scan-10.csv; tovel --files $(ls -v Scan-*.csv) collates "
       "them\n"},
      {"names with shell syntax",
       {"x$(touch PWNED)_001.txt", "x$(touch PWNED)_002.txt"},
       {"x$(touch PWNED)_001.txt", "2"},
       1,
       "tovel: hint: found x$(touch PWNED)_001.txt to x$(touch PWNED)_002.txt; tovel --files "
       "'x$(touch PWNED)_'*.txt collates them\n"},
      {"a first file in another case",
       {"run0001.dat", "run0002.dat"},
       {"run0001.dat", "2"},
       1,
       "tovel: warning: found run0001.dat; data file names end in upper-case .DAT\n"
       "tovel: hint: found run0001.dat to run0002.dat; tovel --files run*.dat collates them\n"},
      {"a file 0000",
       {"E0000.DAT", "E0001.DAT", "E0002.DAT"},
       {"E", "2"},
       0,
       "tovel: warning: E0000.DAT is not collated; a series is numbered from 0001\n"},
      {"rows that share a label",
       {"Calib_run0001.DAT", "Calib_run0002.DAT", "Calib_run0003.DAT"},
       {"Calib_run", "3"},
       0,
       "tovel: warning: rows share labels: Calib_run0 stands for Calib_run0001.DAT to "
       "Calib_run0003.DAT; row labels hold 10 characters, and --files labels rows by whole "
       "names\n"},
      {"a prefix of 6 characters", {"Calib_0001.DAT", "Calib_0002.DAT"}, {"Calib_", "2"}, 0, ""},
  };
  for (const LeftOutCase& c : cases) {
    Scratch dir;
    for (const std::string& file : c.files)
      dir.write(file, "1 2\n");
    const Outcome r = run_tovel(dir, {c.args, "0\n"});
    EXPECT_EQ(r.status, c.status) << c.name;
    EXPECT_EQ(r.err, c.err) << c.name;
    const std::size_t command = c.err.find("; tovel --files ");
    if (command == std::string::npos) continue;
    Invocation pasted({}, "0\n");
    pasted.shell_command = c.err.substr(command + 2, c.err.rfind(" collates") - command - 2);
    pasted.fake_commands = false;  // the real ls sorts the names
    EXPECT_EQ(run_tovel(dir, pasted).status, 0) << c.name << ": " << pasted.shell_command;
    EXPECT_FALSE(dir.exists("PWNED")) << c.name;
  }
}

}  // namespace
}  // namespace tovel::e2e

namespace tovel::e2e {
namespace {

struct TrapCase {
  const char* name;
  std::vector<std::string> files;  // P0001.DAT, P0002.DAT, …
  int status;
  std::string err;
  std::string
      row;  // a row the table must hold as written, warning or not; all it holds after a failure
};

// Inputs read as written that their writer may not have meant: one warning
// per kind, the table and status as without it; a value that column 80
// cuts is refused instead of being read short.
TEST(Warnings, TrapsInRealData) {
  const std::string blanks75(75, ' ');
  const TrapCase cases[] = {
      {"no positive y",
       {"1 -5\n2 -3\n", "1 1\n2 2\n", "1 nan\n2 nan\n", "1 0\n2 0\n"},
       0,
       "tovel: warning: P0001.DAT and 2 more files have no positive y; their peaks are given "
       "as (0, 0)\n",
       "P0001     \t    -5.000    \t    -3.000    \t     0.000    \t     0.000    \n"},
      {"one file with no positive y",
       {"1 1\n", "1 -1\n"},
       0,
       "tovel: warning: P0002.DAT has no positive y; its peak is given as (0, 0)\n",
       "P0002     \t    -1.000    \t     0.000    \t     0.000    \n"},
      {"decimal commas",
       {"0,1\t0,0104\n0,2\t0,0311\n", "0,1\t0,0205\n0,2\t0,0412\n"},
       0,
       "tovel: warning: P0001.DAT:1: \"0,1\" looks like a decimal comma; commas separate values, "
       "so it is read as 0 and 1; --decimal-comma reads such files\n",
       "P0001     \t     1.000    \t     2.000    \t     0.000    \t     2.000    \n"},
      {"comma-separated values",
       {"400,0.25\n401,0.5\n", "400,0.5\n401,1\n"},
       0,
       "",
       "P0002     \t    0.5000    \t     1.000    \t     401.0    \t     1.000    \n"},
      {"every file ends in an empty line",
       {"1 1\n2 2\n\n", "1 3\n2 4\n\n"},
       0,
       "tovel: warning: P0001.DAT:3: an empty line is read as the point (0, 0), and so is 1 "
       "more in the series\n",
       "P0002     \t     3.000    \t     4.000    \t     0.000    \t     2.000    \t     4.000    "
       "\n"},
      {"values beyond single precision: y, the first file's x, another file's peak x",
       {"1 1e39\n1e-50 3e-46\n3 -2e40\n", "7e45 9\n2 1\n3 1e-45\n"},
       0,
       "tovel: warning: P0001.DAT:1: \"1e39\" is too large for single precision and is read as "
       "Infinity (and so are 2 more values)\n"
       "tovel: warning: P0001.DAT:2: \"1e-50\" is too small for single precision and is read as "
       "0 (and so is 1 more value)\n"
       "tovel: warning: P0002.DAT:1: x is 7e45 where the header has 1; columns are matched by "
       "position, so its y values stand under other x values\n",
       "P0002     \t     9.000    \t     1.000    \t    0.1401E-44\t      Infinity\t     9.000    "
       "\n"},
      {"a later file's peak on the header's x beyond single precision",
       {"1 1\n1e39 2\n", "1 1\n1e39 5\n"},
       0,
       "tovel: warning: P0001.DAT:2: \"1e39\" is too large for single precision and is read as "
       "Infinity (and so is 1 more value)\n",
       "P0002     \t     1.000    \t     5.000    \t      Infinity\t     5.000    \n"},
      {"infinity and NaN written as words",
       {"1 inf\n2 nan\n", "1 -infinity\n2 1\n"},
       0,
       "",
       "P0001     \t      Infinity\t           NaN\t     1.000    \t      Infinity\n"},
      {"files on another x grid: shifted, and in reverse; the same x written otherwise",
       {"400.0 1\n401.0 2\n402 3\n", "400.5 1\n401.5 2\n402.5 3\n", "400 1\n401.000 2\n4.02e2 3\n",
        "402 1\n401 2\n400 3\n"},
       0,
       "tovel: warning: P0002.DAT:1: x is 400.5 where the header has 400.0, and 1 more file "
       "differs from the header's x; columns are matched by position, so their y values stand "
       "under other x values\n",
       "P0002     \t     1.000    \t     2.000    \t     3.000    \t     402.5    \t     3.000    "
       "\n"},
      {"header cells alike",
       {"1000.00 1\n1000.25 2\n1000.50 3\n", "1000.00 1\n1000.25 2\n1000.50 3\n"},
       0,
       "tovel: warning: the header row shows \"1000.\" for x = 1000.00 and x = 1000.25 (columns 1 "
       "and 2), and so does 1 more neighbouring pair; --digits 5 tells them apart\n",
       "X Values >\t     1000.    \t     1000.    \t     1000.    \t"},
      {"a value that column 80 cuts",
       {"1.0" + blanks75 + "2.3456\n", "1 1\n"},
       2,
       "tovel: P0001.DAT:1: column 80 cuts the value \"2.\"\n"
       "Run-time error: A value runs past column 80\n",
       "X Values >\t"},
      {"a value wholly beyond column 80",
       {"1.0 5" + blanks75 + "2.3456\n", "1 1\n"},
       0,
       "",
       "P0001     \t     5.000    \t     1.000    \t     5.000    \n"},
  };
  for (const TrapCase& c : cases) {
    Scratch dir;
    for (std::size_t i = 0; i < c.files.size(); ++i)
      dir.write("P000" + std::to_string(i + 1) + ".DAT", c.files[i]);
    const Outcome r = run_tovel(dir, {{"P", std::to_string(c.files.size())}, "0\n"});
    EXPECT_EQ(r.status, c.status) << c.name;
    EXPECT_EQ(r.err, c.err) << c.name;
    const std::string table = dir.read("All_P.txt");
    if (c.status == 0) {
      EXPECT_NE(table.find(c.row), std::string::npos) << c.name;
    } else {
      EXPECT_EQ(table, c.row) << c.name;
    }
  }
}

}  // namespace
}  // namespace tovel::e2e
