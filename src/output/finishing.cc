#include "output/finishing.h"

#include <csignal>
#include <cstdlib>

#include "run/report.h"

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

std::string copy_command(const Name& fname0, const Name& fname1) {
  return "cp " + shell_quote(fname0.trimmed()) + " " + shell_quote(fname1.trimmed());
}

std::string listing_command(const Name& fname2) {
  return "ls -l " + std::string(fname2.trimmed());
}

std::string open_command(const Name& fname0) {
  return "bbedit " + shell_quote(fname0.trimmed());
}

void run_shell_command(const std::string& command) {
  write_out_pending_output();
  // The commands get the usual SIGPIPE behaviour, not the run's own.
  const auto previous = std::signal(SIGPIPE, SIG_DFL);
  [[maybe_unused]] const int status = std::system(command.c_str());
  std::signal(SIGPIPE, previous);
}

}  // namespace tovel
