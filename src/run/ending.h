#pragma once

#include <optional>
#include <string_view>

#include "base/input_stream.h"
#include "base/report.h"
#include "run/progress.h"

namespace tovel {

// How a run ends. Every ending writes out the output held in buffers of
// ours (the table, standard output), so the table keeps exactly what was
// written, and gives back the standard input read ahead. Only the run ends
// the process; below it, failures are values.

// Registers `output` to be written out when the run ends, until released.
// At most a handful are held at once.
void hold_pending_output(PendingOutput& output);
void release_pending_output(PendingOutput& output);
// Registers the stream whose unread bytes are given back when the run ends
// (see InputStream::give_back_unread).
void hold_read_ahead_input(InputStream& input);
// Registers what the run has done so far, for the words an interrupted run
// says.
void watch_progress(const RunProgress& progress);

// Writes out all pending output; the first failure, if any.
std::optional<Failure> write_out_pending_output();

// A stop signal caught ends the run here: its output written out, it says
// what the table holds and ends by the same signal.
void stop_if_interrupted();

// The run-time error report: writes out all pending output, then the
// report's lines to standard error, and ends the run with status 2 (or as
// interrupted, when a stop signal caused the failure or came meanwhile).
[[noreturn]] void fail(const Failure& failure);
// The same for a failure that may be none.
void fail_if(const std::optional<Failure>& failure);

// Ends the run with `status` once all pending output is written out. A
// failure to write it out becomes a run-time error report.
[[noreturn]] void end_run(int status);

// Refuses the command line before anything is read or written: writes
// "tovel: WHAT" and "Try 'tovel --help'." on standard error and ends the
// run with status 2.
[[noreturn]] void refuse_command_line(std::string_view what);

}  // namespace tovel
