#include "datafile/data_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "base/descriptor.h"

namespace tovel {

namespace {

// The descriptor of `path` opened for reading, or for writing only when the
// file may only be written (its first read then fails): -1 with errno set
// when neither can be had, EISDIR for a directory. It is opened without
// blocking, as opening a FIFO would block until a writer comes, on a
// thread that could then not be stopped; its reads block as usual, in waits
// that a stop ends.
int open_for_reading(const std::string& name, bool& readable) {
  readable = true;
  int fd = open_by_name(name, O_RDONLY | O_NONBLOCK);
  if (fd < 0 && errno == EACCES) {
    fd = open_by_name(name, O_WRONLY | O_NONBLOCK);
    readable = false;
    if (fd < 0) errno = EACCES;
  }
  if (fd >= 0 && ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
    const int error = errno;
    ::close(fd);
    errno = error;
    return -1;
  }
  return fd;
}

}  // namespace

void DataFile::start_reading(int fd, bool readable, const struct stat* info) {
  fd_ = fd;
  regular_file_ = info != nullptr && S_ISREG(info->st_mode);
  stream_.attach(fd, readable, regular_file_ ? info->st_size : -1);
  stream_.skip_leading("\xEF\xBB\xBF");  // an encoding mark, not content
  utf16_text_ = stream_.begins_with("\xFF\xFE") || stream_.begins_with("\xFE\xFF");
  points_numbered_ = 0;
}

std::optional<Failure> DataFile::open(std::string_view name) {
  close();
  name_ = name;
  bool readable = true;
  int fd = open_for_reading(name_, readable);
  struct stat info {};
  const bool known = fd >= 0 && ::fstat(fd, &info) == 0;
  if (known && S_ISDIR(info.st_mode)) {
    ::close(fd);
    fd = -1;
    errno = EISDIR;
  }
  if (fd < 0) {
    return open_failure(name, "data", errno);
  }
  start_reading(fd, readable, known ? &info : nullptr);
  return std::nullopt;
}

bool DataFile::open_if_regular(std::string_view name) {
  close();
  name_ = name;
  // Not blocking: opening a FIFO for reading would wait for a writer.
  const int fd = open_by_name(name_, O_RDONLY | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
      ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
    ::close(fd);
    return false;
  }
  start_reading(fd, true, &info);
  return true;
}

void prefetch_data_file(const std::string& name) {
  const int fd = open_by_name(name, O_RDONLY | O_NONBLOCK);
  if (fd < 0) return;
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_WILLNEED);
  }
  ::close(fd);
}

void DataFile::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace tovel
