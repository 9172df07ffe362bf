#include "run/console.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace tovel {
namespace {

Failure cannot_write(int error) {
  return write_failure("standard output", "cannot write", error);
}

}  // namespace

Console::Console(int fd, std::span<char> buffer, RunEnding& ending)
    : sink_(fd), writer_(buffer), ending_(ending) {
  writer_.attach(sink_);
  struct stat info {};
  const bool known = ::fstat(fd, &info) == 0;
  interactive_ = ::isatty(fd) != 0 || (known && (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)));
}

void Console::write(std::string_view text) {
  if (const int error = writer_.write(text); error != 0) ending_.fail(cannot_write(error));
}

void Console::end_message() {
  if (interactive_) ending_.fail_if(write_out());
}

std::optional<Failure> Console::write_out() {
  if (const int error = writer_.write_out(); error != 0) return cannot_write(error);
  return std::nullopt;
}

}  // namespace tovel
