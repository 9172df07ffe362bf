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
  };
  for (const HintCase& c : cases) {
    Scratch dir;
    ::mkdir(dir.at("d").c_str(), 0755);
    for (const std::string& file : c.files)
      dir.write(file, file.starts_with("H") ? "x y\n1 1\n" : "1 1\n");
    const Outcome r = run_tovel(dir, {c.args, "0\n"});
    EXPECT_EQ(r.status, c.status) << c.name;
    EXPECT_EQ(r.err, c.err) << c.name;
  }
}

}  // namespace
}  // namespace tovel::e2e
