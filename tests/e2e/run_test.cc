// End-to-end tests of the collation run: the real program in a scratch
// directory, compared on standard output, standard error, the table bytes
// and the exit status.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "harness.h"

namespace tovel::e2e {
namespace {

const std::string kClosing = "\nOutput file is " + pad32("All_Sample.txt") + "\n\n" +
                             "The txt file is for Excel(R) and the csv file is for Open Office\n\n";
const std::string kFinish =
    "ls -l All_Sample.csv All_Sample.txt\n\nEnter 1 to open All_Sample.txt in BBEdit ";
const std::string kPrefixLine = "\nThe prefix is " + pad32("Sample") + "\n\n";
const std::string kCountPrompt = "\nEnter the number of DAT files ";

const std::string kHeader =
    "X Values >\t     1.000    \t     2.000    \t     3.000    \t      Xmax\t      Ymax\n";
const std::string kRow1 =
    "Sample0001\t     10.00    \t     20.00    \t     15.00    \t     2.000    \t     20.00    \n";
const std::string kRow2 =
    "Sample0002\t     12.00    \t     18.00    \t     16.50    \t     2.000    \t     18.00    \n";
const std::string kRow3 =
    "Sample0003\t     11.00    \t     22.00    \t     14.00    \t     2.000    \t     22.00    \n";
const std::string kSummary =
    "Average   \t     11.00    \t     20.00    \t     15.17    \t     2.000    \t     20.00    \t\n"
    "Std Dev   \t     1.000    \t     2.000    \t     1.258    \t     0.000    \t     2.000    \t\n"
    "CV %      \t     9.091    \t     10.00    \t     8.297    \t     0.000    \t     10.00    "
    "\t\n";

void write_sample_series(const Scratch& dir) {
  dir.write("Sample0001.DAT", "1 10\n2 20\n3 15\n");
  dir.write("Sample0002.DAT", "1 12\n2 18\n3 16.5\n");
  dir.write("Sample0003.DAT", "1 11\n2 22\n3 14\n");
}

std::string three_files() {
  return input_file_line(1, "Sample0001.DAT") + input_file_line(2, "Sample0002.DAT") +
         input_file_line(3, "Sample0003.DAT");
}

TEST(Run, WorkedExampleWithBothArguments) {
  Scratch dir;
  write_sample_series(dir);
  const Outcome r = run_tovel(dir, {{"Sample", "3"}, "0\n"});
  EXPECT_EQ(r.out, banner() + kPrefixLine + three_files() + kClosing + kFinish);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(dir.read("All_Sample.txt"), kHeader + kRow1 + kRow2 + kRow3 + kSummary);
  EXPECT_EQ(dir.read("All_Sample.csv"), dir.read("All_Sample.txt"));
}

TEST(Run, PromptTranscriptWithNoArguments) {
  Scratch dir;
  write_sample_series(dir);
  const Outcome r = run_tovel(dir, {{}, "Sample0001.DAT\n3\n0\n"});
  EXPECT_EQ(r.out, banner() + "Enter the first DAT file name " + kPrefixLine + kCountPrompt +
                       three_files() + kClosing + kFinish);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(dir.read("All_Sample.txt"), kHeader + kRow1 + kRow2 + kRow3 + kSummary);
}

TEST(Run, OneArgumentAsksOnlyForTheCount) {
  Scratch dir;
  write_sample_series(dir);
  const Outcome r = run_tovel(dir, {{"Sample0001.DAT"}, "3\n0\n"});
  EXPECT_EQ(r.out, banner() + kPrefixLine + kCountPrompt + three_files() + kClosing + kFinish);
  EXPECT_EQ(r.status, 0);
}

TEST(Run, CountOutsideTheRangeIsAskedAgainWithoutMessage) {
  Scratch dir;
  write_sample_series(dir);
  const Outcome r = run_tovel(dir, {{"Sample"}, "1\n0\n-3\n10000\n\n3\n0\n"});
  std::string prompts;
  for (int i = 0; i < 6; ++i)
    prompts += kCountPrompt;
  EXPECT_EQ(r.out, banner() + kPrefixLine + prompts + three_files() + kClosing + kFinish);
  EXPECT_EQ(r.status, 0);
}

TEST(Run, SecondArgumentOutsideTheRangeFallsBackToThePrompt) {
  for (const char* count : {"1", "0", "10000", "-5", ""}) {
    Scratch dir;
    write_sample_series(dir);
    const Outcome r = run_tovel(dir, {{"Sample", count}, "3\n0\n"});
    EXPECT_EQ(r.out, banner() + kPrefixLine + "\nThe number of DAT files must be from 2 to 9999\n" +
                         kCountPrompt + three_files() + kClosing + kFinish)
        << count;
    EXPECT_EQ(r.status, 0) << count;
  }
}

TEST(Run, CountAtTheBoundaries) {
  Scratch dir;
  write_sample_series(dir);
  const Outcome two = run_tovel(dir, {{"Sample", "2"}, "0\n"});
  EXPECT_EQ(two.status, 0);
  EXPECT_EQ(dir.read("All_Sample.txt").substr(0, kHeader.size() + kRow1.size() + kRow2.size()),
            kHeader + kRow1 + kRow2);
  // 9999 is accepted; the run then stops at the first missing file, and
  // the copy of the run before still holds its table.
  const Outcome most = run_tovel(dir, {{"Sample", "9999"}, ""});
  EXPECT_NE(most.out.find(input_file_line(4, "Sample0004.DAT")), std::string::npos);
  EXPECT_EQ(most.err,
            "tovel: Sample0004.DAT: cannot open the data file\n"
            "Run-time error: Cannot open file 'Sample0004.DAT': No such file or directory\n"
            "tovel: hint: the series has 3 files, Sample0001.DAT to Sample0003.DAT\n"
            "tovel: All_Sample.csv still holds an earlier table\n");
}

struct NamingCase {
  std::string given;       // the first name, typed at the prompt
  std::string prefix;      // as "The prefix is" shows it
  std::string table;       // the table file's name
  std::string file2;       // the second data file's name
  std::string row_label2;  // its row label, 10 characters
};

// The names a typed first name gives reach the prompt's answer, the files
// read and the table's rows; how each name is derived is the unit tests'.
TEST(Run, SeriesNaming) {
  const NamingCase cases[] = {
      {"Probe_A0001.dat", "Probe_A", "All_Probe_A.txt", "Probe_A0002.DAT", "Probe_A000"},
      {"", "", "All_.txt", "0002.DAT", "0002      "},
      {"ABCDEFGHIJKLMNOPQRSTUVWXY0001.DAT", "ABCDEFGHIJKLMNOPQRSTUVWXY",
       "All_ABCDEFGHIJKLMNOPQRSTUVWXY.tx", "ABCDEFGHIJKLMNOPQRSTUVWXY0002.DA", "ABCDEFGHIJ"},
  };
  for (const auto& c : cases) {
    Scratch dir;
    const std::string file1 = c.prefix + std::string("0001.DAT").substr(0, 32 - c.prefix.size());
    dir.write(file1, "1 5\n");
    dir.write(c.file2, "1 7\n");
    const Outcome r = run_tovel(dir, {{}, c.given + "\n2\n0\n"});
    EXPECT_EQ(r.status, 0) << c.given << r.err;
    EXPECT_NE(r.out.find("The prefix is " + pad32(c.prefix) + "\n"), std::string::npos) << c.given;
    EXPECT_NE(r.out.find(input_file_line(2, c.file2)), std::string::npos) << c.given;
    const std::string table = dir.read(c.table);
    EXPECT_NE(table.find("\n" + c.row_label2 + "\t"), std::string::npos) << c.given << table;
  }
}

TEST(Run, PeakIsTheFirstOfEqualMaximaAndZeroWhenAllNegative) {
  Scratch dir;
  dir.write("P0001.DAT", "1 5\n2 9\n3 9\n");
  dir.write("P0002.DAT", "1 -5\n2 -1\n3 -2\n");
  dir.write("P0003.DAT", "");
  const Outcome r = run_tovel(dir, {{"P", "3"}, "0\n"});
  EXPECT_EQ(r.status, 0);
  const std::string table = dir.read("All_P.txt");
  EXPECT_NE(table.find("P0001     \t     5.000    \t     9.000    \t     9.000    \t     2.000    "
                       "\t     9.000    \n"),
            std::string::npos);
  EXPECT_NE(
      table.find("\nP0002     \t    -5.000    \t    -1.000    \t    -2.000    \t     0.000    "
                 "\t     0.000    \n"),
      std::string::npos);
  EXPECT_NE(table.find("\nP0003     \t     0.000    \t     0.000    \nAverage"), std::string::npos);
}

TEST(Run, EmptyFirstFileGivesABareHeader) {
  Scratch dir;
  dir.write("E0001.DAT", "");
  dir.write("E0002.DAT", "");
  const Outcome r = run_tovel(dir, {{"E", "2"}, "0\n"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(dir.read("All_E.txt").substr(0, 60),
            "X Values >\t      Xmax\t      Ymax\nE0001     \t     0.000    \t ");
}

std::string points(int count) {
  std::string lines;
  for (int i = 1; i <= count; ++i)
    lines += std::to_string(i) + " 1\n";
  return lines;
}

TEST(Run, TwoHundredFiftyPointsAreAccepted) {
  Scratch dir;
  dir.write("L0001.DAT", points(250));
  dir.write("L0002.DAT", points(250));
  const Outcome r = run_tovel(dir, {{"L", "2"}, "0\n"});
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string table = dir.read("All_L.txt");
  EXPECT_NE(table.find("     250.0    \t      Xmax"), std::string::npos);
}

// Failures that stop the run in order: a message, status 1, and the table
// holding exactly what was written.
TEST(Run, TooManyPointsStopsTheRun) {
  Scratch dir;
  dir.write("L0001.DAT", "1 1\n");
  dir.write("L0002.DAT", points(251));
  const Outcome r = run_tovel(dir, {{"L", "2"}, "0\n"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, banner() + "\nThe prefix is " + pad32("L") + "\n\n" +
                       input_file_line(1, "L0001.DAT") + input_file_line(2, "L0002.DAT") +
                       "TOO Many data per file (Max = 250)\n");
  EXPECT_EQ(r.err,
            "tovel: L0002.DAT:251: more than 250 points\n"
            "tovel: hint: L0002.DAT has 251 points; --max-points 251 collates files up to that "
            "length\n");
  EXPECT_EQ(dir.read("All_L.txt"),
            "X Values >\t     1.000    \t      Xmax\t      Ymax\n"
            "L0001     \t     1.000    \t     1.000    \t     1.000    \n");
}

TEST(Run, MissingFirstFileLeavesAnOlderTableUntouched) {
  Scratch dir;
  dir.write("All_Sample.txt", "an older table\n");
  const Outcome r = run_tovel(dir, {{"Sample", "3"}, ""});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, banner() + kPrefixLine + input_file_line(1, "Sample0001.DAT") +
                       "The first .DAT file (Sample0001.DAT) does not exist in this directory\n\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(dir.read("All_Sample.txt"), "an older table\n");
}

TEST(Run, MissingFirstFileCreatesAnEmptyTable) {
  Scratch dir;
  const Outcome r = run_tovel(dir, {{"Sample", "3"}, ""});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(dir.read("All_Sample.txt"), "");
}

TEST(Run, TableIsCutToWhatThisRunWrote) {
  Scratch dir;
  write_sample_series(dir);
  dir.write("All_Sample.txt", std::string(5000, 'x'));
  const Outcome r = run_tovel(dir, {{"Sample", "3"}, "0\n"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(dir.read("All_Sample.txt"), kHeader + kRow1 + kRow2 + kRow3 + kSummary);
}

// Run-time error reports: a location line and the message line on standard
// error, status 2, and the table holding exactly what was written.
struct FailureCase {
  const char* name;
  std::vector<std::string> args;
  std::string input;
  std::string err;
  std::string table;
};

TEST(Run, RunTimeErrorReports) {
  const FailureCase cases[] = {
      {"end of input at the name prompt",
       {},
       "",
       "tovel: standard input:1: no line left to read\nRun-time error: End of file\n",
       "<missing>"},
      {"end of input at the count prompt",
       {"Sample"},
       "1\n",
       "tovel: standard input:2: no line left to read\nRun-time error: End of file\n",
       ""},
      {"malformed count typed",
       {"Sample"},
       "1.0\n",
       "tovel: standard input:1: cannot read an integer from \"1.0\"\n"
       "Run-time error: Bad value during integer read\n",
       ""},
      {"count with a tab",
       {"Sample"},
       "\t5\n",
       "tovel: standard input:1: cannot read an integer from \"\\x095\"\n"
       "Run-time error: Bad value during integer read\n",
       ""},
      {"malformed count argument",
       {"Sample", "3,4"},
       "",
       "tovel: argument 2: cannot read an integer from \"3,4\"\n"
       "Run-time error: Bad value during integer read\nTry 'tovel --help'.\n",
       ""},
      {"sign alone as the argument",
       {"Sample", "-"},
       "",
       "tovel: argument 2: cannot read an integer from \"-\"\n"
       "Run-time error: Bad value during integer read\nTry 'tovel --help'.\n",
       ""},
      {"later file missing",
       {"Sample", "4"},
       "",
       "tovel: Sample0004.DAT: cannot open the data file\n"
       "Run-time error: Cannot open file 'Sample0004.DAT': No such file or directory\n"
       "tovel: hint: the series has 3 files, Sample0001.DAT to Sample0003.DAT\n",
       kHeader + kRow1 + kRow2 + kRow3},
      {"open-in-editor answer y",
       {"Sample", "3"},
       "y\n",
       "tovel: standard input:1: cannot read an integer from \"y\"\n"
       "Run-time error: Bad value during integer read\n",
       kHeader + kRow1 + kRow2 + kRow3 + kSummary},
  };
  for (const auto& c : cases) {
    Scratch dir;
    write_sample_series(dir);
    const Outcome r = run_tovel(dir, {c.args, c.input});
    EXPECT_EQ(r.status, 2) << c.name;
    EXPECT_EQ(r.err, c.err) << c.name;
    EXPECT_EQ(dir.read("All_Sample.txt"), c.table) << c.name;
  }
}

struct BadValueCase {
  const char* name;
  std::string file1, file2;  // file2 empty: only the first file exists
  std::string err;
  std::string table;
};

// A value that is not a number keeps every cell written before it; a row cut
// short has no line end.
TEST(Run, BadValueKeepsTheCellsWrittenBeforeIt) {
  const BadValueCase cases[] = {
      {"in a later file", "1 10\n2 20\n", "1 11\n2 5mV\n",
       "tovel: B0002.DAT:2: cannot read a number from \"5mV\"\n"
       "Run-time error: Bad value during floating point read\n",
       "X Values >\t     1.000    \t     2.000    \t      Xmax\t      Ymax\n"
       "B0001     \t     10.00    \t     20.00    \t     2.000    \t     20.00    \n"},
      {"in the first file", "1 10\n2 20\nTime 3\n", "",
       "tovel: B0001.DAT:3: cannot read a number from \"Time\"\n"
       "Run-time error: Bad value during floating point read\n",
       "X Values >\t     1.000    \t     2.000    \t"},
  };
  for (const auto& c : cases) {
    Scratch dir;
    dir.write("B0001.DAT", c.file1);
    if (!c.file2.empty()) dir.write("B0002.DAT", c.file2);
    const Outcome r = run_tovel(dir, {{"B", "2"}, ""});
    EXPECT_EQ(r.status, 2) << c.name;
    EXPECT_EQ(r.err, c.err) << c.name;
    EXPECT_EQ(dir.read("All_B.txt"), c.table) << c.name;
  }
}

TEST(Run, DirectoryInPlaceOfTheFirstFile) {
  Scratch dir;
  ASSERT_EQ(::mkdir(dir.at("Sample0001.DAT").c_str(), 0755), 0);
  const Outcome r = run_tovel(dir, {{"Sample", "3"}, ""});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, banner() + kPrefixLine + input_file_line(1, "Sample0001.DAT"));
  EXPECT_EQ(r.err,
            "tovel: Sample0001.DAT: cannot open the data file\n"
            "Run-time error: Cannot open file 'Sample0001.DAT': Is a directory\n");
  EXPECT_EQ(dir.read("All_Sample.txt"), "");
}

struct PermissionCase {
  const char* name;
  const char* path;  // made unreadable, unwritable or read-only; "." is the directory
  unsigned mode;
  std::string out;  // standard output, when it is checked
  std::string err;
  std::string table;  // "<missing>" when no table may be created
};

// Permission failures; the program runs unprivileged, so they hold as root.
TEST(Run, PermissionFailures) {
  const std::string up_to_file_1 = banner() + kPrefixLine + input_file_line(1, "Sample0001.DAT");
  const PermissionCase cases[] = {
      {"unreadable later file", "Sample0002.DAT", 0, "",
       "tovel: Sample0002.DAT: cannot open the data file\n"
       "Run-time error: Cannot open file 'Sample0002.DAT': Permission denied\n",
       kHeader + kRow1},
      {"write-only data file", "Sample0002.DAT", 0222, "",
       "tovel: Sample0002.DAT:1: cannot read the data file\n"
       "Run-time error: Cannot read from file opened for WRITE\n",
       kHeader + kRow1},
      {"table that cannot be created", ".", 0555, banner(),
       "tovel: All_Sample.txt: cannot open the table file\n"
       "Run-time error: Cannot open file 'All_Sample.txt': Permission denied\n",
       "<missing>"},
      {"read-only table", "All_Sample.txt", 0444, up_to_file_1,
       "tovel: All_Sample.txt: cannot write the table file\n"
       "Run-time error: Cannot write to file opened for READ\n",
       "an older table\n"},
  };
  for (const auto& c : cases) {
    Scratch dir;
    write_sample_series(dir);
    if (std::string(c.path) == "All_Sample.txt") dir.write(c.path, "an older table\n");
    ::chmod(dir.at(c.path).c_str(), c.mode);
    Invocation call{{"Sample", "3"}, ""};
    call.as_nobody = true;
    const Outcome r = run_tovel(dir, call);
    ::chmod(dir.path().c_str(), 0777);
    EXPECT_EQ(r.status, 2) << c.name;
    if (!c.out.empty()) {
      EXPECT_EQ(r.out, c.out) << c.name;
    }
    EXPECT_EQ(r.err, c.err) << c.name;
    EXPECT_EQ(dir.read("All_Sample.txt"), c.table) << c.name;
  }
}

// A table that is not a regular file takes the rows and is not cut; a stack
// of 64 KiB, as `ulimit -s 64` leaves, is enough for the run.
TEST(Run, TableThatIsNoFileAndASmallStack) {
  Scratch dir;
  write_sample_series(dir);
  ASSERT_EQ(::symlink("/dev/null", dir.at("All_Sample.txt").c_str()), 0);
  Invocation call{{"Sample", "3"}, "0\n"};
  call.stack_limit = 64 * 1024;
  const Outcome r = run_tovel(dir, call);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, banner() + kPrefixLine + three_files() + kClosing + kFinish);
}

// A file system mounted on a scratch directory, made read-only once the
// files are in it; unmounted at the end.
class ReadOnlyMount {
 public:
  explicit ReadOnlyMount(const Scratch& dir) : path_(dir.path()) {
    mounted_ = ::mount("tmpfs", path_.c_str(), "tmpfs", 0, nullptr) == 0;
  }
  ~ReadOnlyMount() {
    if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
  }
  bool mounted() const { return mounted_; }
  bool make_read_only() {
    return ::mount(nullptr, path_.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
  }

 private:
  std::string path_;
  bool mounted_;
};

// An existing table on a read-only file system is opened for reading: a
// missing first file still stops in order, and otherwise its first write
// fails.
TEST(Run, TableOnAReadOnlyFileSystem) {
  Scratch dir;
  ReadOnlyMount mount(dir);
  if (!mount.mounted()) GTEST_SKIP() << "mounting a file system needs root";
  write_sample_series(dir);
  dir.write("All_Sample.txt", "an older table\n");
  dir.write("All_Other.txt", "another older table\n");
  ASSERT_TRUE(mount.make_read_only());
  Invocation call{{"Sample", "3"}, "0\n"};
  call.fake_commands = false;  // none can be written there, and none is reached
  const Outcome write = run_tovel(dir, call);
  EXPECT_EQ(write.status, 2);
  EXPECT_EQ(write.err,
            "tovel: All_Sample.txt: cannot write the table file\n"
            "Run-time error: Cannot write to file opened for READ\n");
  call.args = {"Other", "3"};
  const Outcome missing = run_tovel(dir, call);
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "");
  EXPECT_EQ(dir.read("All_Sample.txt"), "an older table\n");
  EXPECT_EQ(dir.read("All_Other.txt"), "another older table\n");
}

TEST(Run, TableCreatedWithModeLessUmask) {
  Scratch dir;
  write_sample_series(dir);
  const mode_t old = ::umask(027);
  const Outcome r = run_tovel(dir, {{"Sample", "3"}, "0\n"});
  ::umask(old);
  ASSERT_EQ(r.status, 0);
  struct stat info {};
  ASSERT_EQ(::stat(dir.at("All_Sample.txt").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
}

// Standard output to a regular file is held in a buffer; what the shell
// commands print must still come after everything written before them.
TEST(Run, OutputToAFileKeepsItsOrder) {
  Scratch dir;
  write_sample_series(dir);
  Invocation call{{"Sample", "3"}, "0\n"};
  call.output = Output::file;
  call.stdout_file = dir.at("out.txt");
  const Outcome r = run_tovel(dir, call);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(dir.read("out.txt"), banner() + kPrefixLine + three_files() + kClosing + kFinish);
}

}  // namespace
}  // namespace tovel::e2e

namespace tovel::e2e {
namespace {

struct SummaryCase {
  const char* name;
  std::vector<std::string> y;  // one y value per file, all at x = 1
  std::string std_dev_row;
};

// The summary rows as the table shows them, for the points and the peaks
// alike: the statistics themselves are the unit tests'.
TEST(Run, SummaryRows) {
  const SummaryCase cases[] = {
      // The same two values as points and as peaks give the same deviation.
      {"points and peaks alike",
       {"10.1", "10.13"},
       "Std Dev   \t    0.2121E-01\t     0.000    \t    0.2121E-01\t\n"},
      // Counts whose squares single precision cannot hold to the unit.
      {"infinity", {"inf", "1"}, "Std Dev   \t           NaN\t     0.000    \t           NaN\t\n"},
  };
  for (const auto& c : cases) {
    Scratch dir;
    for (std::size_t i = 0; i < c.y.size(); ++i) {
      dir.write("S000" + std::to_string(i + 1) + ".DAT", "1 " + c.y[i] + "\n");
    }
    const Outcome r = run_tovel(dir, {{"S", std::to_string(c.y.size())}, "0\n"});
    EXPECT_EQ(r.status, 0) << c.name;
    EXPECT_NE(dir.read("All_S.txt").find("\n" + c.std_dev_row + "CV %"), std::string::npos)
        << c.name << "\n"
        << dir.read("All_S.txt");
  }
}

}  // namespace
}  // namespace tovel::e2e

namespace tovel::e2e {
namespace {

// Every number of the table at the digits asked for, in a field of digits +
// 10 characters; 4 digits are the default's table.
TEST(Run, DigitsWidenEveryCell) {
  const std::string nine =
      "X Values >\t     1.00000000    \t     2.00000000    \t           Xmax\t           Ymax\n"
      "S0001     \t     10.5000000    \t     20.2500000    \t     2.00000000    \t     20.2500000  "
      "  \n"
      "S0002     \t     12.0000000    \t     18.0000000    \t     2.00000000    \t     18.0000000  "
      "  \n"
      "Average   \t     11.2500000    \t     19.1250000    \t     2.00000000    \t     19.1250000  "
      "  \t\n"
      "Std Dev   \t     1.06066012    \t     1.59099030    \t     0.00000000    \t     1.59099030  "
      "  \t\n"
      "CV %      \t     9.42809010    \t     8.31890297    \t     0.00000000    \t     8.31890297  "
      "  \t\n";
  Scratch plain;
  plain.write("S0001.DAT", "1 10.5\n2 20.25\n");
  plain.write("S0002.DAT", "1 12\n2 18\n");
  ASSERT_EQ(run_tovel(plain, {{"-n", "S", "2"}, ""}).status, 0);
  const struct {
    std::vector<std::string> args;
    std::string table;
  } cases[] = {
      {{"--digits", "9"}, nine},
      {{"--digits=4"}, plain.read("All_S.txt")},
  };
  for (const auto& c : cases) {
    Scratch dir;
    dir.write("S0001.DAT", "1 10.5\n2 20.25\n");
    dir.write("S0002.DAT", "1 12\n2 18\n");
    std::vector<std::string> args = c.args;
    args.insert(args.end(), {"-n", "S", "2"});
    const Outcome r = run_tovel(dir, {args, ""});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(dir.read("All_S.txt"), c.table) << c.args[0];
  }
}

// A name's control bytes never reach the terminal from Tovel's own lines:
// the dialogue shows them as \xHH, as a report does, in the fields it shows
// names in. (What ls prints is ls's.)
TEST(Run, ControlBytesOfNamesShownEscaped) {
  for (const std::string& prefix : {std::string("\x1b[2JS"), std::string("\x1b]2;T\x07")}) {
    Scratch dir;
    dir.write(prefix + "0001.DAT", "1 10\n");
    dir.write(prefix + "0002.DAT", "1 12\n");
    const Outcome r = run_tovel(dir, {{prefix, "2"}, "0\n"});
    const std::string shown = prefix[1] == '[' ? "\\x1B[2JS" : "\\x1B]2;T\\x07";
    const std::string table = "All_" + shown + ".txt";
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, banner() + "\nThe prefix is " + pad32(shown) + "\n\n" +
                         input_file_line(1, shown + "0001.DAT") +
                         input_file_line(2, shown + "0002.DAT") + "\nOutput file is " +
                         pad32(table) +
                         "\n\nThe txt file is for Excel(R) and the csv file is for Open Office\n\n"
                         "ls -l All_" +
                         prefix + ".csv All_" + prefix +  // the fake ls's own line
                         ".txt\n\nEnter 1 to open " + table + " in BBEdit ");
  }
}

}  // namespace
}  // namespace tovel::e2e
