#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string_view>

#include "base/input_stream.h"
#include "base/report.h"
#include "run/progress.h"

namespace tovel {

// The exit statuses of a run.
inline constexpr int kCompleteRun = 0;
inline constexpr int kOrderlyStop = 1;
inline constexpr int kRunTimeError = 2;

// What ends a run early, carried to the top of the run: the exit status, or
// the stop signal caught, by which the process is then to end.
struct RunEnded {
  int status = kCompleteRun;
  int signal = 0;
};

// How a run ends. Every ending writes out the output held in buffers of
// ours (the table, standard output), so the table keeps exactly what was
// written, and gives back the standard input read ahead. The endings that
// end the run throw RunEnded, which only the run's top catches; below the
// run, failures are values.
class RunEnding {
 public:
  // `stop_signal` gives the stop signal caught so far, or 0.
  explicit RunEnding(std::function<int()> stop_signal) : stop_signal_(std::move(stop_signal)) {}
  RunEnding(const RunEnding&) = delete;
  RunEnding& operator=(const RunEnding&) = delete;

  // Registers `output` to be written out when the run ends, until it is let
  // go. At most a handful are held at once.
  void hold_pending_output(PendingOutput& output);
  void let_go_of_pending_output(PendingOutput& output);
  // Registers the stream whose unread bytes are given back when the run
  // ends (see InputStream::give_back_unread).
  void hold_read_ahead_input(InputStream& input) { read_ahead_ = &input; }
  // Registers what the run has done so far, for the words an interrupted
  // run says.
  void watch_progress(const RunProgress& progress) { progress_ = &progress; }

  // Writes out all pending output; the first failure, if any.
  std::optional<Failure> write_out_pending_output();

  // A stop signal caught ends the run here: its output written out, it says
  // what the table holds, and the process is to end by the same signal.
  void stop_if_interrupted();

  // The run-time error report: writes out all pending output, then the
  // report's lines to standard error, and ends the run with status 2 (or as
  // interrupted, when a stop signal caused the failure or came meanwhile).
  // A run that ends before its copy is made says, after the report or in
  // the words of the interruption, when the copy holds an earlier table.
  [[noreturn]] void fail(const Failure& failure);
  // The same for a failure that may be none.
  void fail_if(const std::optional<Failure>& failure) {
    if (failure) fail(*failure);
  }

  // Ends the run with `status` once all pending output is written out. A
  // failure to write it out becomes a run-time error report.
  [[noreturn]] void end_run(int status);

  // Refuses the command line before anything is read or written: writes
  // "tovel: WHAT" and "Try 'tovel --help'." on standard error and ends the
  // run with status 2.
  [[noreturn]] void refuse_command_line(std::string_view what);
  // The same for what the command line names, without the second line.
  [[noreturn]] void refuse(std::string_view what);

  // What the run's top does last, however the run ended: the input read
  // ahead goes back.
  void give_back_read_ahead_input();

 private:
  // Writes out what can be written out, once: a report of a failure that
  // arises meanwhile must not start a second report.
  void write_out_quietly();
  // A run that ends early says when the copy beside its cut table still
  // holds an earlier one (RunProgress::earlier_copy_note).
  std::string earlier_copy_note() const;
  void tell_of_earlier_copy() const;

  std::function<int()> stop_signal_;
  std::array<PendingOutput*, 4> held_{};
  InputStream* read_ahead_ = nullptr;
  const RunProgress* progress_ = nullptr;
  bool written_out_ = false;
};

}  // namespace tovel
