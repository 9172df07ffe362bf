#include "output/finishing.h"

#include <sys/wait.h>

#include <csignal>
#include <cstdlib>

#include "base/report.h"

namespace tovel {

std::string shell_quote(std::string_view text) {
  std::string quoted = "'";
  for (const char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  quoted += '\'';
  return quoted;
}

std::string copy_command(std::string_view table, std::string_view copy) {
  return "cp " + shell_quote(table) + " " + shell_quote(copy);
}

std::string listing_command(std::string_view pattern) {
  return "ls -l " + std::string(pattern);
}

std::string open_command(std::string_view table) {
  return "bbedit " + shell_quote(table);
}

std::string CommandStatus::description() const {
  switch (end) {
    case End::exited:
      return "ended with status " + std::to_string(code);
    case End::killed:
      return "was killed by signal " + std::to_string(code);
    case End::not_started:
      break;
  }
  return "could not be started";
}

CommandStatus run_shell_command(const std::string& command) {
  write_out_pending_output();
  // The commands get the usual SIGPIPE behaviour, not the run's own.
  const auto previous = std::signal(SIGPIPE, SIG_DFL);
  const int status = std::system(command.c_str());
  std::signal(SIGPIPE, previous);
  if (status == -1) return {CommandStatus::End::not_started, 0};
  if (WIFSIGNALED(status)) return {CommandStatus::End::killed, WTERMSIG(status)};
  return {CommandStatus::End::exited, WEXITSTATUS(status)};
}

}  // namespace tovel
