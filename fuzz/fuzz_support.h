#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace tovel::fuzzing {

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
