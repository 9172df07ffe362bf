#include "base/descriptor.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <string>

namespace tovel {

int keep_clear_of_standard_streams(int fd) {
  if (fd < 0 || fd > 2) return fd;
  const int moved = ::fcntl(fd, F_DUPFD_CLOEXEC, 3);
  ::close(fd);
  return moved;
}

bool names_a_path(std::string_view name) {
  return name.find('\0') == std::string_view::npos;
}

int open_by_name(const std::string& name, int flags, mode_t mode) {
  if (!names_a_path(name)) {
    errno = EINVAL;
    return -1;
  }
  return keep_clear_of_standard_streams(::open(name.c_str(), flags | O_CLOEXEC, mode));
}

bool file_exists(std::string_view name) {
  return names_a_path(name) && ::access(std::string(name).c_str(), F_OK) == 0;
}

bool wait_until_ready(int fd, short events) {
  pollfd waiting{fd, events, 0};
  return ::poll(&waiting, 1, -1) >= 0;
}

}  // namespace tovel
