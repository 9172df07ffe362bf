#pragma once

#include <string_view>

namespace tovel {

// What the command line asks for. An option is recognised only as the
// whole first argument; anything else there is the first name. After
// --plot come the first name and the count, as without it.
struct CommandLine {
  enum class Action { run, help, version };
  Action action = Action::run;
  bool plot = false;  // --plot: draw the series beside the table
  // The arguments after the program's name: FIRST-NAME and COUNT, if given.
  int narg = 0;
  const char* const* args = nullptr;  // args[0] is FIRST-NAME
};

CommandLine parse_command_line(int argc, const char* const* argv);

// The text --help prints, and the one --version prints.
extern const std::string_view kUsage;
extern const std::string_view kVersion;

}  // namespace tovel
