#include "run/console.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tovel {

Console::Console(int fd, std::span<char> buffer) : sink_(fd), writer_(buffer) {
  writer_.attach(sink_);
  struct stat info {};
  const bool known = ::fstat(fd, &info) == 0;
  interactive_ = ::isatty(fd) != 0 || (known && (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)));
  hold_pending_output(*this);
}

Console::~Console() {
  release_pending_output(*this);
}

void Console::write(std::string_view text) {
  if (writer_.write(text)) return;
  error_ = errno;
  report_runtime_error(write_failure());
}

void Console::end_message() {
  if (interactive_ && !write_out()) report_runtime_error(write_failure());
}

bool Console::write_out() {
  if (writer_.write_out()) return true;
  error_ = errno;
  return false;
}

Failure Console::write_failure() const {
  return {"standard output", 0, "cannot write", "", false, std::strerror(error_)};
}

}  // namespace tovel
