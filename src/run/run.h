#pragma once

#include <functional>

#include "run/ending.h"
#include "shell/shell.h"

namespace tovel {

// What a run does beyond its files, behind seams that tests replace: the
// standard streams it talks on, the stop signal it looks for, the shell it
// hands the finished table to.
struct RunSeams {
  int output_fd;
  int input_fd;
  std::function<int()> stop_signal;  // the stop signal caught so far, or 0
  Shell shell;
};

// The whole run, from the banner to the last command: takes the first name
// and the file count from the arguments or the prompts, and collates the
// series into the table. How it ended: the exit status, 0 for a complete
// run, 1 for an orderly stop, 2 after a run-time error report; or the stop
// signal caught, by which the process is to end.
RunEnded run_session(int argc, const char* const* argv, const RunSeams& seams);

// run_session on the process's own standard streams, signals and shell: the
// exit status, or, for a run ended by a stop signal, no return.
int run_tovel(int argc, const char* const* argv);

}  // namespace tovel
