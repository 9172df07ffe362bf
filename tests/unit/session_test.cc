// Whole runs of the session in this process, in a scratch directory, with
// the shell and the stop signal replaced by fakes: how each step of the
// series and the finish ends the run.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <climits>
#include <csignal>
#include <string>
#include <vector>

#include "run/run.h"
#include "scratch.h"

namespace tovel {
namespace {

using test_support::Scratch;

// A file in memory holding `bytes`, read from its start.
int memory_file(const std::string& bytes) {
  const int fd = ::memfd_create("session", MFD_CLOEXEC);
  if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) ||
      ::lseek(fd, 0, SEEK_SET) != 0) {
    ADD_FAILURE() << "no memory file";
  }
  return fd;
}

std::string contents(int fd) {
  std::string bytes;
  char chunk[4096];
  ssize_t n = 0;
  for (off_t at = 0; (n = ::pread(fd, chunk, sizeof chunk, at)) > 0; at += n)
    bytes.append(chunk, static_cast<std::size_t>(n));
  return bytes;
}

struct Fakes {
  int stop_from_look = 0;      // the look at the stop signal from which SIGINT is caught; 0: never
  std::string failing_word{};  // commands that begin with it end as `failure`
  CommandStatus failure{.end = CommandStatus::End::exited, .code = 1};
};

struct SessionOutcome {
  RunEnded ended;
  std::string out, err, commands;
};

SessionOutcome run_in(const Scratch& dir, const std::vector<std::string>& args,
                      const std::string& typed, const Fakes& fakes) {
  std::vector<const char*> argv{"tovel", "-j", "1", "-C", dir.path().c_str()};
  for (const std::string& arg : args)
    argv.push_back(arg.c_str());
  SessionOutcome outcome;
  int looks = 0;
  const RunSeams seams{
      .output_fd = memory_file(""),
      .input_fd = memory_file(typed),
      .stop_signal =
          [&] { return fakes.stop_from_look > 0 && ++looks >= fakes.stop_from_look ? SIGINT : 0; },
      .shell =
          [&](const std::string& command) {
            outcome.commands += command + "\n";
            const bool fails =
                !fakes.failing_word.empty() && command.starts_with(fakes.failing_word);
            return fails ? fakes.failure : CommandStatus{CommandStatus::End::exited, 0};
          }};
  char directory[PATH_MAX];
  EXPECT_NE(::getcwd(directory, sizeof directory), nullptr);
  testing::internal::CaptureStderr();
  outcome.ended = run_session(static_cast<int>(argv.size()), argv.data(), seams);
  outcome.err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(::chdir(directory), 0);
  outcome.out = contents(seams.output_fd);
  ::close(seams.output_fd);
  ::close(seams.input_fd);
  return outcome;
}

std::string blanks(std::size_t count) {
  return std::string(count, ' ');
}

struct SessionCase {
  const char* name;
  std::vector<std::string> args;
  std::string typed;
  Fakes fakes;
  int status;
  std::string err;
  std::string commands;
  std::string out_ending;
  bool earlier_copy = false;  // All_S.csv is there from an earlier run
};

TEST(Session, HowEachStepEndsTheRun) {
  const std::string listing = "ls -l All_*\n";
  const std::string copy = "cp 'All_S.txt' 'All_S.csv'\n";
  const SessionCase cases[] = {
      {"complete, the table opened",
       {"S", "2"},
       "1\n",
       {},
       0,
       "",
       copy + listing + "bbedit 'All_S.txt'\n",
       "Enter 1 to open All_S.txt in BBEdit "},
      {"complete, -n",
       {"-n", "S", "2"},
       "",
       {},
       0,
       "",
       copy + listing,
       "The txt file is for Excel(R) and the csv file is for Open Office\n\n"},
      {"a copy that fails",
       {"-n", "S", "2"},
       "",
       {.failing_word = "cp"},
       2,
       "tovel: All_S.csv: cp ended with status 1\n"
       "Run-time error: Cannot copy file 'All_S.txt' to 'All_S.csv'\n",
       copy,
       "Open Office\n\n"},
      {"a copy killed",
       {"-n", "S", "2"},
       "",
       {.failing_word = "cp", .failure = {CommandStatus::End::killed, SIGKILL}},
       2,
       "tovel: All_S.csv: cp was killed by signal 9\n"
       "Run-time error: Cannot copy file 'All_S.txt' to 'All_S.csv'\n",
       copy,
       "Open Office\n\n"},
      {"a listing that fails is passed over",
       {"-n", "S", "2"},
       "",
       {.failing_word = "ls"},
       0,
       "",
       copy + listing,
       "Open Office\n\n"},
      {"first file missing",
       {"-n", "T", "2"},
       "",
       {},
       1,
       "",
       "",
       "(T0001.DAT) does not exist in this directory\n\n"},
      {"stop before the first file",
       {"-n", "S", "2"},
       "",
       {.stop_from_look = 1},
       128 + SIGINT,
       "tovel: interrupted: nothing was written to All_S.txt\n",
       "",
       "The prefix is S" + blanks(31) + "\n\n"},
      {"stop after the first file",
       {"-n", "S", "2"},
       "",
       {.stop_from_look = 2},
       128 + SIGINT,
       "tovel: interrupted: All_S.txt holds the row of S0001.DAT only\n",
       "",
       "S0001.DAT" + blanks(23) + "\n"},
      {"stop once the table is complete",
       {"-n", "S", "2"},
       "",
       {.stop_from_look = 4},
       128 + SIGINT,
       "tovel: interrupted: All_S.txt is complete, but it was not copied to All_S.csv\n",
       "",
       "Open Office\n\n"},
      {"stop after the copy",
       {"-n", "S", "2"},
       "",
       {.stop_from_look = 6},
       128 + SIGINT,
       "tovel: interrupted: All_S.txt and its copy All_S.csv are complete\n",
       copy,
       "Open Office\n\n"},
      {"stop once the table is complete, with --csv turned",
       {"-n", "--csv", "--transpose", "S", "2"},
       "",
       {.stop_from_look = 4},
       128 + SIGINT,
       "tovel: interrupted: All_S.txt is complete, but All_S.csv was not written\n",
       "",
       "Open Office\n\n"},
      {"stop after the csv file",
       {"-n", "--csv", "S", "2"},
       "",
       {.stop_from_look = 6},
       128 + SIGINT,
       "tovel: interrupted: All_S.txt and All_S.csv are complete\n",
       "",
       "Open Office\n\n"},
      {"end of input at the question",
       {"S", "2"},
       "",
       {},
       2,
       "tovel: standard input:1: no line left to read\nRun-time error: End of file\n",
       copy + listing,
       "in BBEdit "},
      {"stop after the first file, beside an earlier copy",
       {"-n", "S", "2"},
       "",
       {.stop_from_look = 2},
       128 + SIGINT,
       "tovel: interrupted: All_S.txt holds the row of S0001.DAT only; All_S.csv still holds an "
       "earlier table\n",
       "",
       "S0001.DAT" + blanks(23) + "\n",
       true},
      {"stop after the first file with --csv, beside an earlier copy",
       {"-n", "--csv", "S", "2"},
       "",
       {.stop_from_look = 2},
       128 + SIGINT,
       "tovel: interrupted: All_S.txt and All_S.csv hold the row of S0001.DAT only\n",
       "",
       "S0001.DAT" + blanks(23) + "\n",
       true},
      {"stop after the first file of a turned table, beside an earlier copy",
       {"-n", "--transpose", "S", "2"},
       "",
       {.stop_from_look = 2},
       128 + SIGINT,
       "tovel: interrupted: nothing was written to All_S.txt; All_S.csv still holds an earlier "
       "table\n",
       "",
       "S0001.DAT" + blanks(23) + "\n",
       true},
      {"an orderly stop beside an earlier copy",
       {"-n", "--max-points", "1", "S", "2"},
       "",
       {},
       1,
       "tovel: S0001.DAT:2: more than 1 points\ntovel: All_S.csv still holds an earlier table\n",
       "",
       "TOO Many data per file (Max = 1)\n",
       true},
      {"a failure before the table is cut, beside an earlier copy",
       {"-n", "T", "2"},
       "",
       {},
       1,
       "",
       "",
       "does not exist in this directory\n\n",
       true},
      {"stop at the answer",
       {"S", "2"},
       "1\n",
       {.stop_from_look = 8},
       128 + SIGINT,
       "tovel: interrupted: All_S.txt and its copy All_S.csv are complete\n",
       copy + listing + "bbedit 'All_S.txt'\n",
       "in BBEdit "},
  };
  for (const SessionCase& c : cases) {
    Scratch dir;
    dir.write("S0001.DAT", "1 10\n2 20\n");
    dir.write("S0002.DAT", "1 12\n2 18\n");
    if (c.earlier_copy) dir.write("All_S.csv", "older\n");
    const SessionOutcome r = run_in(dir, c.args, c.typed, c.fakes);
    EXPECT_EQ(r.ended.status, c.status) << c.name;
    EXPECT_EQ(r.ended.signal, c.status > 128 ? c.status - 128 : 0) << c.name;
    EXPECT_EQ(r.err, c.err) << c.name;
    EXPECT_EQ(r.commands, c.commands) << c.name;
    EXPECT_TRUE(r.out.ends_with(c.out_ending)) << c.name << ": " << r.out;
  }
}

// The last question opens the table for an answer of 1 in its I5 field,
// and for nothing else.
TEST(Session, OnlyAnAnswerOf1OpensTheTable) {
  const std::pair<std::string, bool> answers[] = {
      {"1\n", true},  {"01\n", true}, {" 1\n", true}, {"1,0\n", true},     {"    1\n", true},
      {"0\n", false}, {"\n", false},  {"2\n", false}, {"     1\n", false}, {"-1\n", false}};
  for (const auto& [typed, opens] : answers) {
    Scratch dir;
    dir.write("S0001.DAT", "1 10\n");
    dir.write("S0002.DAT", "1 12\n");
    const SessionOutcome r = run_in(dir, {"S", "2"}, typed, {});
    EXPECT_EQ(r.ended.status, 0) << typed << r.err;
    EXPECT_EQ(r.commands.ends_with("bbedit 'All_S.txt'\n"), opens) << typed;
  }
}

}  // namespace
}  // namespace tovel
