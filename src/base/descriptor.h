#pragma once

#include <sys/types.h>

#include <cerrno>
#include <string>
#include <string_view>

namespace tovel {

// Moves a newly opened descriptor above 0, 1 and 2 when it landed on one of
// them because a standard stream was closed, so that console reads and writes
// can never reach a data file or the table. Returns the descriptor to use.
int keep_clear_of_standard_streams(int fd);

// Whether `name` reaches the file system whole: one holding a NUL names no
// file, since the system would take the shorter name before the NUL.
bool names_a_path(std::string_view name);

// Every file the run opens by name: open(2) of `name` with `flags`, and
// O_CLOEXEC, kept clear of the standard streams. -1 with errno set when it
// cannot be opened, EINVAL for a name that holds a NUL.
int open_by_name(const std::string& name, int flags, mode_t mode = 0);

// Whether a file of that name exists (access with F_OK); a name that holds
// a NUL names none.
bool file_exists(std::string_view name);

// Waits until `fd` is ready for `events` (POLLIN, POLLOUT), for a descriptor
// that another program made non-blocking. False, with errno set, when the
// wait itself fails or a signal interrupts it.
bool wait_until_ready(int fd, short events);

// The result of `transfer()`, a read or write of `fd` that returns the
// bytes moved or -1: when a descriptor that another program made
// non-blocking is not ready (EAGAIN), waits until it is ready for `events`
// and tries again.
template <typename Transfer>
long transfer_when_ready(int fd, short events, Transfer transfer) {
  for (;;) {
    const long n = transfer();
    if (n >= 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) return n;
    if (!wait_until_ready(fd, events)) return -1;
  }
}

}  // namespace tovel
