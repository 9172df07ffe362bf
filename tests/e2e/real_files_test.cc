// Files as they come from spreadsheets, R, numpy and instruments, a command
// line read as GNU tools read theirs, and hints where the series is not
// what was looked for.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "harness.h"

namespace tovel::e2e {
namespace {

struct ShapeCase {
  const char* name;
  std::vector<std::string> args;  // before the first name and the count
  std::string file1, file2;
};

// Each shape gives the table of the same values in clean files.
TEST(RealFiles, ShapesGiveTheTableOfTheCleanFiles) {
  const std::string clean1 = "400 0.25\n401 0.5\n", clean2 = "400 0.75\n401 1.5\n";
  // Lines longer than 80 characters, with what stands beyond column 80 ignored.
  const auto long_lines = [](const std::string& end) {
    const std::string past_80 = std::string(85, ' ') + "7";
    return std::pair{"400 0.25" + past_80 + end + "401 0.5" + end,
                     "400 0.75" + end + "401 1.5" + past_80 + end};
  };
  const ShapeCase cases[] = {
      {"long lines, LF", {}, long_lines("\n").first, long_lines("\n").second},
      {"long lines, CR LF", {}, long_lines("\r\n").first, long_lines("\r\n").second},
      {"long lines, CR alone", {}, long_lines("\r").first, long_lines("\r").second},
      {"byte-order mark", {}, "\xEF\xBB\xBF" + clean1, "\xEF\xBB\xBF" + clean2},
      {"comment lines",
       {},
       "# instrument X, run 3\n400 0.25\n  # gain 2\n401 0.5\n#\n",
       "\t# one\n" + clean2},
      {"--skip", {"--skip", "2"}, "Sample A\nnm Abs\n" + clean1, "Sample B\nnm Abs\n" + clean2},
      {"CSV with a header, CR LF and a mark",
       {"--skip=1"},
       "\xEF\xBB\xBFWavelength (nm),Absorbance\r\n400,0.25\r\n401,0.5\r\n",
       "\xEF\xBB\xBFWavelength (nm),Absorbance\r\n400,0.75\r\n401,1.5\r\n"},
  };
  Scratch clean;
  clean.write("S0001.DAT", clean1);
  clean.write("S0002.DAT", clean2);
  ASSERT_EQ(run_tovel(clean, {{"S", "2"}, "0\n"}).status, 0);
  for (const ShapeCase& c : cases) {
    Scratch dir;
    dir.write("S0001.DAT", c.file1);
    dir.write("S0002.DAT", c.file2);
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"S", "2"});
    const Outcome r = run_tovel(dir, {args, "0\n"});
    EXPECT_EQ(r.status, 0) << c.name << r.err;
    EXPECT_EQ(r.err, "") << c.name;
    EXPECT_EQ(dir.read("All_S.txt"), clean.read("All_S.txt")) << c.name;
  }
}

struct CommandLineCase {
  std::vector<std::string> args;
  std::string input;
  int status;
  std::string err;
  bool table;  // All_S.txt (or All_-S.txt) is written
};

// Options before or after the operands, `--`, refusals that touch no file,
// and -n, which needs no standard input.
TEST(CommandLine, OptionsAsGnuToolsTakeThem) {
  const std::string try_help = "Try 'tovel --help'.\n";
  const CommandLineCase cases[] = {
      {{"S", "2", "--plot", "-n"}, "", 0, "", true},
      {{"-n", "--", "-S", "2"}, "", 0, "", true},
      {{"S", "2", "--no-open"}, "", 0, "", true},
      {{"--PLOT", "S", "2"}, "0\n", 2, "tovel: unknown option '--PLOT'\n" + try_help, false},
      {{"S", "-x", "2"}, "0\n", 2, "tovel: unknown option '-x'\n" + try_help, false},
      {{"S", "2", "3"}, "0\n", 2, "tovel: too many arguments\n" + try_help, false},
      {{"--skip", "100", "S", "2"},
       "",
       2,
       "tovel: --skip takes a whole number from 0 to 99\n" + try_help,
       false},
      {{"S", "2", "-C"}, "", 2, "tovel: option '-C' needs a value\n" + try_help, false},
      {{"-j", "0", "S", "2"},
       "",
       2,
       "tovel: --jobs takes a whole number from 1 to 64\n" + try_help,
       false},
      {{"--digits", "3", "S", "2"},
       "",
       2,
       "tovel: --digits takes a whole number from 4 to 9\n" + try_help,
       false},
      {{"--digits=10", "S", "2"},
       "",
       2,
       "tovel: --digits takes a whole number from 4 to 9\n" + try_help,
       false},
      {{"--digits", "x", "S", "2"},
       "",
       2,
       "tovel: --digits takes a whole number from 4 to 9\n" + try_help,
       false},
      {{"S", "2", "--digits"},
       "",
       2,
       "tovel: --digits takes a whole number from 4 to 9\n" + try_help,
       false},
      {{"--columns", "0,0", "S", "2"},
       "",
       2,
       "tovel: --columns takes two whole numbers X,Y, X from 0 to 20 and Y from 1 to 20\n" +
           try_help,
       false},
      {{"S", "2", "--columns=1,21"},
       "",
       2,
       "tovel: --columns takes two whole numbers X,Y, X from 0 to 20 and Y from 1 to 20\n" +
           try_help,
       false},
      {{"-C", "missing", "S", "2"},
       "",
       2,
       "tovel: missing: cannot run in the directory\n"
       "Run-time error: Cannot change to directory 'missing': No such file or directory\n",
       false},
      {{"-Cdata", "S", "2"}, "0\n", 0, "", false},
  };
  for (const CommandLineCase& c : cases) {
    Scratch dir;
    ::mkdir(dir.at("data").c_str(), 0755);
    for (const std::string prefix : {"S", "-S", "data/S"}) {
      dir.write(prefix + "0001.DAT", "1 1\n");
      dir.write(prefix + "0002.DAT", "1 2\n");
    }
    Invocation call{c.args, c.input};
    if (c.input.empty()) call.input_kind = Input::closed;
    const Outcome r = run_tovel(dir, call);
    const std::string shown = ::testing::PrintToString(c.args);
    EXPECT_EQ(r.status, c.status) << shown;
    EXPECT_EQ(r.err, c.err) << shown;
    EXPECT_EQ(dir.exists("All_S.txt") || dir.exists("All_-S.txt"), c.table) << shown;
    if (c.args[0] == "-Cdata") {
      EXPECT_TRUE(dir.exists("data/All_S.txt"));
    }
  }
}

struct WriterCase {
  const char* name;
  std::string file;               // each of W0001.DAT and W0002.DAT
  std::vector<std::string> args;  // before the first name and the count
  int status;
  std::string err;
  std::string row;  // with status 0: text the table holds
};

// Ten points, x from 400 and y from 0.1 in steps of 1 and 0.1, as `line`
// writes point i with the texts of its x and y.
std::string ten_points(std::string (*line)(int i, std::string x, std::string y)) {
  std::string text;
  for (int i = 0; i < 10; ++i)
    text += line(i, std::to_string(400 + i), i < 9 ? "0." + std::to_string(i + 1) : "1.0");
  return text;
}

std::string with_decimal_commas(std::string text) {
  for (char& c : text)
    c = c == '.' ? ',' : c;
  return text;
}

// Files as pandas, R, spreadsheets and instruments write them: each read
// right with the option it needs, and without it either refused with a hint
// or read with a warning that names the option.
TEST(RealFiles, CommonWritersAndTheOptionsThatReadThem) {
  const std::string pandas = ",wavelength,absorbance\n" + ten_points([](int i, auto x, auto y) {
                               return std::to_string(i) + "," + x + ".0," + y + "\n";
                             });
  const std::string r_csv =
      "\"\",\"wavelength\",\"absorbance\"\n" + ten_points([](int i, auto x, auto y) {
        return "\"" + std::to_string(i + 1) + "\"," + x + "," + y + "\n";
      });
  const std::string empty_cell =
      ten_points([](int i, auto x, auto y) { return x + "," + (i == 1 ? "" : y) + "\n"; });
  const std::string one_column = ten_points([](int, auto, auto y) { return y + "\n"; });
  const std::string german_csv =
      ten_points([](int, auto x, auto y) { return x + ",5;" + with_decimal_commas(y) + "\r\n"; });
  const std::string german_tabs =
      ten_points([](int, auto x, auto y) { return x + ",5\t" + with_decimal_commas(y) + "\r\n"; });
  const std::string utf16 = std::string(
      "\xFF\xFE"
      "4\0"
      "0\0"
      "0\0"
      "\t\0"
      "1\0"
      "\r\0\n\0",
      16);
  const std::string with_header =
      "Instrument: UV-1900i\nDate: 2026-12-01\nWavelength (nm),Abs\n" +
      ten_points([](int, auto x, auto y) { return x + "," + y + "\n"; });
  const std::string bad = "Run-time error: Bad value during floating point read\n";
  const std::string half_nm = "X Values >\t     400.5    \t     401.5    \t";
  const WriterCase cases[] = {
      {"pandas, with its index",
       pandas,
       {"--skip", "1"},
       0,
       "tovel: warning: W0001.DAT: x runs 0, 1, 2, \u2026 like a row index, and its lines hold 3 "
       "values; if the first column is an index, --columns 2,3 reads the next two\n",
       "W0001     \t     400.0    \t     401.0    \t"},
      {"pandas, past its index",
       pandas,
       {"--skip", "1", "--columns", "2,3"},
       0,
       "",
       "X Values >\t     400.0    \t     401.0    \t"},
      {"R's quoted row names",
       r_csv,
       {},
       2,
       "tovel: W0001.DAT:1: cannot read a number from \"\\x22\\x22\"\n" + bad +
           "tovel: hint: W0001.DAT:1 looks like a header line; --skip 1 skips it\n"
           "tovel: hint: values in double quotes are not read; --columns can pass over a quoted "
           "first column, and R's write.table(..., quote = FALSE, row.names = FALSE) writes a "
           "file that reads\n",
       ""},
      {"R's quoted row names, passed over",
       r_csv,
       {"--skip=1", "--columns=2,3"},
       0,
       "",
       "W0001     \t    0.1000    \t    0.2000    \t"},
      {"an empty cell",
       empty_cell,
       {},
       0,
       "tovel: warning: W0001.DAT:2: a missing value is read as 0 (and so is 1 more in the "
       "series)\n",
       "W0001     \t    0.1000    \t     0.000    \t    0.3000    \t"},
      {"one column",
       one_column,
       {},
       0,
       "tovel: warning: W0001.DAT holds one value a line, read as x with y = 0; --columns 0,1 "
       "reads it as y, with x = 1, 2, 3, \u2026\n",
       "X Values >\t    0.1000    \t    0.2000    \t"},
      {"one column, numbered",
       one_column,
       {"--columns", "0,1"},
       0,
       "",
       "X Values >\t     1.000    \t     2.000    \t"},
      {"German CSV",
       german_csv,
       {},
       2,
       "tovel: W0001.DAT:1: cannot read a number from \"5;0\"\n" + bad +
           "tovel: hint: semicolons separate the values of W0001.DAT; for decimal commas give "
           "--decimal-comma\n",
       ""},
      {"German CSV, decimal commas", german_csv, {"--decimal-comma"}, 0, "", half_nm},
      {"German tabs",
       german_tabs,
       {},
       0,
       "tovel: warning: W0001.DAT:1: \"400,5\" looks like a decimal comma; commas separate "
       "values, so it is read as 400 and 5; --decimal-comma reads such files\n",
       "X Values >\t     400.0    \t     401.0    \t"},
      {"German tabs, decimal commas", german_tabs, {"--decimal-comma"}, 0, "", half_nm},
      {"decimal points, read for commas",
       "400.5 0.1\n",
       {"--decimal-comma"},
       2,
       "tovel: W0001.DAT:1: cannot read a number from \"400.5\"\n" + bad +
           "tovel: hint: W0001.DAT has decimal points; without --decimal-comma they are read\n",
       ""},
      {"UTF-16",
       utf16,
       {},
       2,
       "tovel: W0001.DAT: the file is UTF-16 text; save it as UTF-8 or plain text\n" + bad,
       ""},
      {"a header with digits",
       with_header,
       {},
       2,
       "tovel: W0001.DAT:1: cannot read a number from \"Instrument:\"\n" + bad +
           "tovel: hint: W0001.DAT:1 to 3 look like header lines; --skip 3 skips them\n",
       ""},
  };
  for (const WriterCase& c : cases) {
    Scratch dir;
    dir.write("W0001.DAT", c.file);
    dir.write("W0002.DAT", c.file);
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"-n", "W", "2"});
    const Outcome r = run_tovel(dir, {args, ""});
    EXPECT_EQ(r.status, c.status) << c.name;
    EXPECT_EQ(r.err, c.err) << c.name;
    if (c.status == 0) {
      EXPECT_NE(dir.read("All_W.txt").find(c.row), std::string::npos) << c.name;
    }
  }
}

struct HintCase {
  const char* name;
  std::vector<std::string> files;
  std::vector<std::string> args;
  int status;
  std::string err;
};

// Where the series is not what the run looks for, one line says what the
// user may have meant.
TEST(Hints, WhereTheSeriesIs) {
  const std::string cut = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";  // 26 characters
  const HintCase cases[] = {
      {"three digits",
       {"T001.DAT", "T002.DAT"},
       {"T", "2"},
       1,
       "tovel: hint: found T001.DAT; data files are numbered with four digits, from T0001.DAT\n"},
      {"from 0000",
       {"T0000.DAT"},
       {"T", "2"},
       1,
       "tovel: hint: found T0000.DAT; a series is numbered from 0001\n"},
      {"from 0000, one short",
       {"T0000.DAT", "T0001.DAT"},
       {"T", "2"},
       2,
       "tovel: T0002.DAT: cannot open the data file\n"
       "Run-time error: Cannot open file 'T0002.DAT': No such file or directory\n"
       "tovel: hint: the series has 1 file, T0001.DAT; T0000.DAT is never read: a series is "
       "numbered from 0001\n"},
      {"a name cut at 32",
       {cut + "0001.DAT"},
       {cut, "2"},
       1,
       "tovel: hint: found " + cut +
           "0001.DAT, a name of 34 characters; names are cut at 32, so a prefix may have at "
           "most 24\n"},
      {"where the series ends",
       {"S0001.DAT", "S0002.DAT", "S0003.DAT"},
       {"S", "5"},
       2,
       "tovel: S0004.DAT: cannot open the data file\n"
       "Run-time error: Cannot open file 'S0004.DAT': No such file or directory\n"
       "tovel: hint: the series has 3 files, S0001.DAT to S0003.DAT\n"},
      {"a gap",
       {"S0001.DAT", "S0003.DAT"},
       {"S", "3"},
       2,
       "tovel: S0002.DAT: cannot open the data file\n"
       "Run-time error: Cannot open file 'S0002.DAT': No such file or directory\n"
       "tovel: hint: S0002.DAT is missing, though the series goes on to S0003.DAT\n"},
      {"a header line",
       {"H0001.DAT", "H0002.DAT"},
       {"H", "2"},
       2,
       "tovel: H0001.DAT:1: cannot read a number from \"x\"\n"
       "Run-time error: Bad value during floating point read\n"
       "tovel: hint: H0001.DAT:1 looks like a header line; --skip 1 skips it\n"},
      {"a series in another directory",
       {"d/S0001.DAT", "d/S0002.DAT"},
       {"d/S0001.DAT", "2"},
       2,
       "tovel: All_d/S.txt: cannot open the table file\n"
       "Run-time error: Cannot open file 'All_d/S.txt': No such file or directory\n"
       "tovel: hint: run it in the data's directory, or give -C d\n"},
      {"a series in a directory with blanks in its name",
       {"my d/S0001.DAT", "my d/S0002.DAT"},
       {"my d/S0001.DAT", "2"},
       2,
       "tovel: All_my d/S.txt: cannot open the table file\n"
       "Run-time error: Cannot open file 'All_my d/S.txt': No such file or directory\n"
       "tovel: hint: run it in the data's directory, or give -C 'my d'\n"},
  };
  for (const HintCase& c : cases) {
    Scratch dir;
    ::mkdir(dir.at("d").c_str(), 0755);
    ::mkdir(dir.at("my d").c_str(), 0755);
    for (const std::string& file : c.files)
      dir.write(file, file.starts_with("H") ? "x y\n1 1\n" : "1 1\n");
    const Outcome r = run_tovel(dir, {c.args, "0\n"});
    EXPECT_EQ(r.status, c.status) << c.name;
    EXPECT_EQ(r.err, c.err) << c.name;
  }
}

}  // namespace
}  // namespace tovel::e2e
