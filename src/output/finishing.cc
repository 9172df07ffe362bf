#include "output/finishing.h"

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

void run_shell_command(const std::string& command) {
  write_out_pending_output();
  // The commands get the usual SIGPIPE behaviour, not the run's own.
  const auto previous = std::signal(SIGPIPE, SIG_DFL);
  [[maybe_unused]] const int status = std::system(command.c_str());
  std::signal(SIGPIPE, previous);
}

}  // namespace tovel
