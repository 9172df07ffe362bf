// Others acting on a run while it works: a signal or a kill, a second run on
// the same table, a file of answers shared with the next command, pipes
// left non-blocking, a data file that never ends. The table is never a mix,
// and the run says how it ended.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string>
#include <thread>

#include "harness.h"

namespace tovel::e2e {
namespace {

// The first `rows` rows of `table`, header included, when it is whole.
std::string rows_of(const std::string& table, int rows) {
  std::size_t end = 0;
  for (int line = 0; line <= rows; ++line)
    end = table.find('\n', end) + 1;
  return table.substr(0, end);
}

// A run killed at any moment over an older, larger table leaves that table
// untouched or a beginning of its own; one interrupted says which rows the
// table holds, and they are exactly there.
TEST(Interference, KilledReRunLeavesItsOwnBeginningOrTheOlderTable) {
  constexpr int kFiles = 3000;
  Scratch dir;
  write_numbered_series(dir, "S", kFiles, 20);
  ASSERT_EQ(run_tovel(dir, {{"S", std::to_string(kFiles)}, "0\n"}).status, 0);
  const std::string full = dir.read("All_S.txt");
  const std::string older(full.size() + 4096, '#');
  for (const int signal : {SIGINT, SIGKILL}) {
    // The longer delays reach the collation of a run slowed by a sanitizer.
    for (const int delay_ms : {0, 1, 3, 6, 10, 20, 40, 80, 160, 320, 640}) {
      dir.write("All_S.txt", older);
      Running run(dir, {{"S", std::to_string(kFiles)}, "0\n"});
      std::this_thread::sleep_for(std::chrono::milliseconds(delay_ms));
      run.signal(signal);
      const Outcome r = run.finish();
      const std::string table = dir.read("All_S.txt");
      const std::string at = std::to_string(signal) + " after " + std::to_string(delay_ms) + " ms";
      EXPECT_TRUE(table == older || full.starts_with(table)) << at;
      if (r.status == 0) {
        EXPECT_EQ(table, full) << at;
      } else {
        EXPECT_EQ(r.status, 128 + signal) << at;
      }
      const std::string said = "tovel: interrupted: All_S.txt holds the rows of S0001.DAT to S";
      if (signal != SIGINT || !r.err.starts_with(said)) continue;
      const int rows = std::stoi(r.err.substr(said.size(), 4));
      EXPECT_EQ(r.err, said + r.err.substr(said.size(), 4) +
                           ".DAT only; All_S.csv still holds an earlier table\n")
          << at;
      EXPECT_EQ(table, rows_of(full, rows)) << at;
    }
  }
  // However the timing falls above, a run held at a data file that is a
  // FIFO is interrupted during the collation: it opens the FIFO once it
  // reads that far ahead, and waits there. (The FIFO comes early enough
  // that the run's lines until then fit in the pipe of its standard output,
  // which is read only at the end.)
  const std::string held = dir.at("S0500.DAT");
  ASSERT_EQ(::unlink(held.c_str()), 0);
  ASSERT_EQ(::mkfifo(held.c_str(), 0644), 0);
  dir.write("All_S.txt", older);
  Running run(dir, {{"S", std::to_string(kFiles)}, "0\n"});
  int writer = -1;  // opened without waiting once the run has the FIFO open
  for (int tries = 0; writer < 0 && tries < 30000; ++tries) {
    writer = ::open(held.c_str(), O_WRONLY | O_NONBLOCK);
    if (writer < 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_GE(writer, 0) << "the run never opened S0500.DAT";
  run.signal(SIGINT);
  const Outcome r = run.finish();
  if (writer >= 0) ::close(writer);
  // A worker may reach the FIFO, and be waiting there, while the run's own
  // thread is still at the first file.
  const std::string one = "tovel: interrupted: All_S.txt holds the row of S0001.DAT only";
  const std::string said = "tovel: interrupted: All_S.txt holds the rows of S0001.DAT to S";
  ASSERT_TRUE(r.err.starts_with(said) || r.err.starts_with(one)) << r.err;
  const int rows = r.err.starts_with(one) ? 1 : std::stoi(r.err.substr(said.size(), 4));
  EXPECT_EQ(r.status, 128 + SIGINT);
  EXPECT_LT(rows, 500);
  EXPECT_EQ(dir.read("All_S.txt"), rows_of(full, rows));
}

// While one run writes a table, a second run on it is refused and writes
// nothing; a run of another prefix goes on beside it.
TEST(Interference, SecondRunOnTheSameTableIsRefused) {
  const auto write_files = [](const Scratch& dir) {
    dir.write("S0001.DAT", "1 10\n2 20\n");
    dir.write("S0003.DAT", "1 11\n2 22\n");
    dir.write("T0001.DAT", "1 1\n");
    dir.write("T0002.DAT", "1 2\n");
  };
  Scratch single;
  write_files(single);
  single.write("S0002.DAT", "1 12\n2 18\n");
  ASSERT_EQ(run_tovel(single, {{"S", "3"}, "0\n"}).status, 0);

  Scratch dir;
  write_files(dir);
  ASSERT_EQ(::mkfifo(dir.at("S0002.DAT").c_str(), 0644), 0);
  Running first(dir, {{"S", "3"}, "0\n"});
  // The first run holds the table once it waits on its second file.
  int fifo = -1;
  for (int tries = 0; fifo < 0 && tries < 5000; ++tries) {
    fifo = ::open(dir.at("S0002.DAT").c_str(), O_WRONLY | O_NONBLOCK);
    if (fifo < 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ASSERT_GE(fifo, 0);
  Invocation beside{{"S", "3"}, "0\n"};
  beside.time_limit_ms = 10000;  // not refused, it would wait on the same file
  const Outcome second = run_tovel(dir, beside);
  beside.args = {"T", "2"};
  const Outcome other = run_tovel(dir, beside);
  ASSERT_EQ(::write(fifo, "1 12\n2 18\n", 10), 10);
  ::close(fifo);
  const Outcome r = first.finish();

  EXPECT_EQ(second.status, 2);
  EXPECT_EQ(second.out, banner());
  EXPECT_EQ(second.err,
            "tovel: All_S.txt: cannot open the table file\n"
            "Run-time error: Cannot open file 'All_S.txt': another run is writing it\n");
  EXPECT_EQ(other.status, 0) << other.err;
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(dir.read("All_S.txt"), single.read("All_S.txt"));
  EXPECT_EQ(dir.read("All_S.csv"), single.read("All_S.txt"));
}

// The first file that fails, in file order, ends the run, with the rows
// before it and none after; files beyond it that a worker reads ahead are
// neither reported nor waited for, though they are FIFOs with no writer.
TEST(Interference, FilesBeyondAFailureAreNotWaitedFor) {
  Scratch dir;
  dir.write("S0001.DAT", "1 10\n2 20\n");
  dir.write("S0002.DAT", "1 11\n2 x\n");
  for (int i = 3; i <= 9; ++i)
    ASSERT_EQ(::mkfifo(dir.at("S000" + std::to_string(i) + ".DAT").c_str(), 0644), 0);
  Invocation call{{"S", "9"}, "0\n"};
  call.time_limit_ms = 10000;
  const Outcome r = run_tovel(dir, call);
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err,
            "tovel: S0002.DAT:2: cannot read a number from \"x\"\n"
            "Run-time error: Bad value during floating point read\n");
  EXPECT_EQ(dir.read("All_S.txt"),
            "X Values >\t     1.000    \t     2.000    \t      Xmax\t      Ymax\n"
            "S0001     \t     10.00    \t     20.00    \t     2.000    \t     20.00    \n");
}

struct SharedInputCase {
  std::string lines;  // what this run reads of the shared file of answers
  int status;
};

// Runs that read their answers in turn from one file leave its offset just
// after their last line, however they end.
TEST(Interference, SharedFileOfAnswersServesRunsInTurn) {
  const SharedInputCase cases[] = {
      {"Q\n2\n", 1},       // the first file is missing: an orderly stop
      {"S\n2\nyes\n", 2},  // a bad answer after the table: an error
      {"S\n2\n0\n", 0},
      {"T\r\n2\r\n\r\n", 0},
  };
  Scratch dir;
  write_numbered_series(dir, "S", 2, 3);
  write_numbered_series(dir, "T", 2, 3);
  std::string answers;
  for (const auto& c : cases)
    answers += c.lines;
  dir.write("answers", answers);
  const int shared = ::open(dir.at("answers").c_str(), O_RDONLY);
  ASSERT_GE(shared, 0);
  std::size_t offset = 0;
  for (const auto& c : cases) {
    Invocation call;
    call.input_kind = Input::descriptor;
    call.input_fd = shared;
    const Outcome r = run_tovel(dir, call);
    offset += c.lines.size();
    EXPECT_EQ(r.status, c.status) << c.lines << r.err;
    EXPECT_EQ(::lseek(shared, 0, SEEK_CUR), static_cast<off_t>(offset)) << c.lines;
  }
  ::close(shared);
}

struct NonBlockingCase {
  const char* name;
  Invocation call;
};

// Pipes that another program made non-blocking are waited for: a full
// output pipe, an input pipe with nothing in it yet. The test's side of
// them waits until the program waits.
TEST(Interference, NonBlockingPipesAreWaitedFor) {
  constexpr int kFiles = 2000;  // more than 64 KiB of "Input file" lines
  const NonBlockingCase cases[] = {
      {"output", {{"S", std::to_string(kFiles)}, "0\n"}},
      {"input", {{}, "S\n" + std::to_string(kFiles) + "\n0\n"}},
  };
  Scratch dir;
  write_numbered_series(dir, "S", kFiles, 2);
  for (const auto& c : cases) {
    const Outcome expected = run_tovel(dir, c.call);
    Invocation call = c.call;
    call.nonblocking_pipes = true;
    call.peer_waits = true;
    const Outcome r = run_tovel(dir, call);
    EXPECT_EQ(r.status, 0) << c.name << r.err;
    EXPECT_TRUE(r.out == expected.out) << c.name << ": " << r.out.size() << " bytes written";
  }
}

// A line refused by its first 80 characters is reported without reading
// on: a data file that is /dev/zero never ends.
TEST(Interference, LineThatNeverEndsIsReportedAtOnce) {
  Scratch dir;
  dir.write("Z0001.DAT", "1 1\n");
  ASSERT_EQ(::symlink("/dev/zero", dir.at("Z0002.DAT").c_str()), 0);
  Invocation call{{"Z", "2"}, ""};
  call.time_limit_ms = 10000;  // a run that read on would be killed then (status 137)
  const Outcome r = run_tovel(dir, call);
  EXPECT_EQ(r.status, 2);
  std::string zeros;
  for (int i = 0; i < 80; ++i)
    zeros += "\\x00";
  EXPECT_EQ(r.err, "tovel: Z0002.DAT:1: column 80 cuts the value \"" + zeros +
                       "\"\nRun-time error: A value runs past column 80\n");
}

}  // namespace
}  // namespace tovel::e2e
