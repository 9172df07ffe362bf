#include "shell/shell.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace tovel {

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
  // /bin/sh -c COMMAND, as system(3) runs it, but without ignoring SIGINT
  // and SIGQUIT meanwhile: a stop signal that comes during the command is
  // caught as at any other time. The command starts with the usual signal
  // behaviour, since exec resets what the run catches.
  const char* const argv[] = {"sh", "-c", command.c_str(), nullptr};
  pid_t child = 0;
  if (::posix_spawn(&child, "/bin/sh", nullptr, nullptr, const_cast<char* const*>(argv), environ) !=
      0) {
    return {CommandStatus::End::not_started, 0};
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return {CommandStatus::End::not_started, 0};
  }
  if (WIFSIGNALED(status)) return {CommandStatus::End::killed, WTERMSIG(status)};
  return {CommandStatus::End::exited, WEXITSTATUS(status)};
}

}  // namespace tovel
