#pragma once

#include <string>
#include <string_view>

namespace tovel {

// `text` as one word for /bin/sh: in single quotes, a single quote inside
// written as '\''.
std::string shell_quote(std::string_view text);

// The commands that hand the finished table to the shell, given the names
// without their trailing blanks. Names are quoted; the listing pattern is
// left bare so that the shell expands it.
std::string copy_command(std::string_view table, std::string_view copy);
std::string listing_command(std::string_view pattern);
std::string open_command(std::string_view table);

// How a shell command ended.
struct CommandStatus {
  enum class End { exited, killed, not_started };
  End end;
  int code;  // the exit status, or the signal's number
  bool succeeded() const { return end == End::exited && code == 0; }
  // "ended with status 1", "was killed by signal 2", "could not be started".
  std::string description() const;
};

// Runs `command` through the system shell and waits for it. Its output goes
// where the run's goes, so the run writes out what it holds first.
CommandStatus run_shell_command(const std::string& command);

}  // namespace tovel
