#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "run/report.h"

namespace tovel::fuzzing {

// Thrown in place of ending the process, so one input's run-time error
// report ends only that input.
struct RunEnded {};

inline void install_throwing_report() {
  set_runtime_error_hook([](const FailureSite&, std::string_view) { throw RunEnded{}; });
}

// A file in memory holding `data`, and a path that opens it afresh.
class MemoryFile {
 public:
  MemoryFile() : fd_(::memfd_create("tovel-fuzz", 0)) {}
  ~MemoryFile() { ::close(fd_); }
  void fill(const uint8_t* data, std::size_t size) {
    if (::ftruncate(fd_, 0) != 0) __builtin_trap();
    if (size != 0 && ::pwrite(fd_, data, size, 0) != static_cast<ssize_t>(size)) __builtin_trap();
  }
  std::string path() const { return "/proc/self/fd/" + std::to_string(fd_); }

 private:
  int fd_;
};

}  // namespace tovel::fuzzing
