#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/limits.h"
#include "points/file_reading.h"

namespace tovel {

// What the command line asks for. Options may stand before or after the
// operands, as GNU tools take them; `--` ends them, and `-` alone or a
// negative number is an operand. Short options may be bundled (-nC DIR),
// and a value may follow its option in the same argument (-CDIR,
// --skip=2) or in the next.
// Threads that read data files: -j 1 to kMaxJobs; by default the online
// CPUs, up to kDefaultMaxJobs.
inline constexpr int kMaxJobs = 64;
// The blocks --block may name: 1 to kMostBlocks.
inline constexpr int kMostBlocks = 9999;
inline constexpr int kDefaultMaxJobs = 8;
int default_jobs();

struct CommandLine {
  enum class Action { run, help, version, list_formats, refuse };
  Action action = Action::run;
  std::string refusal;  // with refuse: what is wrong, as "unknown option '-x'"

  bool plot = false;                // --plot: draw the series beside the table
  bool csv = false;                 // --csv: write All_PREFIX.csv as comma-separated values
  bool transpose = false;           // --transpose: the table turned, x down its first column
  bool no_open = false;             // -n: answer the last question 0 without asking
  const char* directory = nullptr;  // -C DIR: run in DIR
  int jobs = default_jobs();        // -j N: threads that read the data files
  // --skip N, --columns X,Y, --decimal-comma, --max-points N, and --digits N,
  // the significant digits of the table's numbers.
  FileReading reading{};  // and --format NAME and --block N
  bool format_given = false;
  // FIRST-NAME and COUNT, as far as given; with --files, every data file.
  bool listed_files = false;     // --files
  const char* output = nullptr;  // -o, --output PREFIX: the outputs' prefix with --files
  std::vector<const char*> operands;
};

CommandLine parse_command_line(int argc, const char* const* argv);

// The text --help prints, the one --version prints, and the banner line
// that begins a run.
std::string usage_text();
std::string version_text();
std::string formats_text();  // --list-formats
std::string banner_text();

}  // namespace tovel
