#pragma once

#include <functional>
#include <string>

namespace tovel {

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

// Whatever runs the run's shell commands: run_shell_command, or a fake.
using Shell = std::function<CommandStatus(const std::string&)>;

}  // namespace tovel
