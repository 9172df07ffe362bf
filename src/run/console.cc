#include "run/console.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tovel {

Console::Console(int fd) : fd_(fd) {
  struct stat info {};
  const bool known = ::fstat(fd, &info) == 0;
  interactive_ = ::isatty(fd) != 0 || (known && (S_ISFIFO(info.st_mode) || S_ISSOCK(info.st_mode)));
  hold_pending_output(*this);
}

Console::~Console() {
  release_pending_output(*this);
}

void Console::write(std::string_view text) {
  while (!text.empty()) {
    if (size_ == kCapacity) flush();
    const std::size_t n = std::min(text.size(), kCapacity - size_);
    std::memcpy(buffer_ + size_, text.data(), n);
    size_ += n;
    text.remove_prefix(n);
  }
}

void Console::end_message() {
  if (interactive_) flush();
}

void Console::flush() {
  if (!write_out()) {
    report_runtime_error(failure_site(), std::strerror(errno));
  }
}

bool Console::write_out() {
  std::size_t done = 0;
  bool ok = true;
  while (done < size_) {
    const ssize_t n = ::write(fd_, buffer_ + done, size_ - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = false;
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  size_ = 0;  // what could not be written is dropped, not retried
  return ok;
}

}  // namespace tovel
