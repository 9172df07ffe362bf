#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tovel {

// What kind of failure a Failure is, for the code that tells them apart:
// the report's words are for people.
enum class FailureKind {
  system,        // a system call failed; error_number says why
  missing_file,  // the file to open is not there
  end_of_input,  // no line was left to read
  bad_value,     // a field does not hold what it must
  command,       // a command the run started did not succeed
};

// A failure on its way to the run-time error report, which shows it as
//   tovel: FILE:LINE: WHAT "FIELD"
//   Run-time error: MESSAGE
//   HINT
// Below the run, whatever can fail returns std::optional<Failure>: the
// failure, or nothing. Build one with designated initialisers.
struct Failure {
  std::string file{};                  // a file's name, "standard input", "argument 2", …
  long line = 0;                       // from 1; 0 when there is no line to name
  std::string what{};                  // what was being done, in a few words
  std::optional<std::string> field{};  // the offending field text, shown quoted, if any
  std::string message{};
  std::string hint{};    // last lines, if any: "tovel: hint: …", "Try 'tovel --help'."
  int error_number = 0;  // the system's error number, when one caused the failure
  FailureKind kind = FailureKind::system;
};

// The system's text for error number `error`, as strerror gives it, but
// safe on every thread: the series reader's workers report failures too.
const char* error_text(int error);

// The failure to open the file `name` of a `kind` ("data", "table"):
// "cannot open the KIND file" and "Cannot open file 'NAME': REASON", the
// reason the text of `error` unless given.
Failure open_failure(std::string_view name, std::string_view kind, int error,
                     std::string_view reason = {});
// The failure to write `name`, what was being written in `what`, with the
// text of `error`, or `message` when given.
Failure write_failure(std::string_view name, std::string_view what, int error,
                      std::string_view message = {});

// The report's lines for `failure`, each ended by a line feed.
std::string report_text(const Failure& failure);

// A name as the report shows it: control characters, NUL among them, as
// \xHH; every other byte as it is.
std::string shown_name(std::string_view name);
// Whether shown_name changes `name`.
bool holds_control_bytes(std::string_view name);

// Writes `text` to standard error as it stands.
void write_to_standard_error(std::string_view text);
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
  // Writes out what is held; the failure, if that fails.
  virtual std::optional<Failure> write_out() = 0;
};

// The line that follows a refusal of the command line.
inline constexpr std::string_view kTryHelp = "Try 'tovel --help'.";

// The fixed prefix of the report's message line.
inline constexpr std::string_view kMessagePrefix = "Run-time error: ";

}  // namespace tovel
