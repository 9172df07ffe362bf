#pragma once

namespace tovel {

// The whole run, from the banner to the last command: takes the first name
// and the file count from the arguments or the prompts, collates the series
// into the table, and ends the process with its exit status: 0 for a
// complete run, 1 for an orderly stop, 2 after a run-time error report.
[[noreturn]] void run_tovel(int argc, const char* const* argv);

}  // namespace tovel
