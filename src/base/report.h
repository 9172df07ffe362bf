#pragma once

#include <string>
#include <string_view>

#include "base/input_stream.h"

namespace tovel {

// A failure on its way to the run-time error report, which shows it as
//   tovel: FILE:LINE: WHAT "FIELD"
//   Run-time error: MESSAGE
//   HINT
struct Failure {
  std::string file;          // a file's name, "standard input", "argument 2", …
  long line = 0;             // from 1; 0 when there is no line to name
  std::string what;          // what was being done, in a few words
  std::string field;         // the offending field text, if any
  bool quote_field = false;  // whether `field` is shown (it may be empty)
  std::string message;
  std::string hint{};  // a last line, if any
};

// A name as the report shows it: control characters, NUL among them, as
// \xHH; every other byte as it is.
std::string shown_name(std::string_view name);

// Writes "tovel: TEXT" as a line on standard error.
void tell(std::string_view text);
// Writes "tovel: warning: TEXT" as a line on standard error. A warning
// changes nothing else: standard output, the table and the exit status.
void warn(std::string_view text);

// A "tovel: hint: WORDS" line, as a failure's last line.
std::string hint_line(std::string_view words);
// Writes "tovel: hint: WORDS" as a line on standard error.
void hint(std::string_view words);

// Output held in a buffer of ours that must reach its file however the run
// ends: the table and standard output.
class PendingOutput {
 public:
  virtual ~PendingOutput() = default;
  // Writes out what is held; false when that failed.
  virtual bool write_out() = 0;
  // The failure of the last write_out, as the report shows it.
  virtual Failure write_failure() const = 0;
};

// Registers `output` to be written out when the run ends; the registration
// lasts until release. At most a handful are held at once.
void hold_pending_output(PendingOutput& output);
void release_pending_output(PendingOutput& output);

// Registers a stream whose unread bytes are given back when the run ends,
// however it ends (see InputStream::give_back_unread).
void hold_read_ahead_input(InputStream& input);

// The run-time error report: writes out all pending output, so the table
// keeps exactly what was written, then writes the location line and the
// message line to standard error and ends the run with status 2.
[[noreturn]] void report_runtime_error(const Failure& failure);

// Refuses the command line before anything is read or written: writes
// "tovel: WHAT" and "Try 'tovel --help'." on standard error and ends the
// run with status 2.
[[noreturn]] void refuse_command_line(std::string_view what);

// Writes out all pending output; a failure ends the run with the report.
void write_out_pending_output();

// Ends the run with `status` once all pending output is written out. A
// failure to write it out becomes a run-time error report.
[[noreturn]] void end_run(int status);

// Ends a run that a stop signal interrupted: writes out what pending output
// it can, says "tovel: interrupted: TEXT" on standard error, and ends the
// process by `signal`.
[[noreturn]] void end_interrupted(int signal, std::string_view text);

// The line that follows a refusal of the command line.
inline constexpr std::string_view kTryHelp = "Try 'tovel --help'.";

// The fixed prefix of the report's message line.
inline constexpr std::string_view kMessagePrefix = "Run-time error: ";

}  // namespace tovel
