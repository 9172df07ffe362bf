#include "datafile/data_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>

#include "base/descriptor.h"

namespace tovel {

namespace {

// The descriptor of `path` opened for reading, or for writing only when the
// file may only be written (its first read then fails): -1 with errno set
// when neither can be had. It is opened without blocking, as opening a FIFO
// would block until a writer comes, on a thread that could then not be
// stopped; see reads_block.
int open_for_reading(const std::string& name, bool& readable) {
  readable = true;
  int fd = open_by_name(name, O_RDONLY | O_NONBLOCK);
  if (fd < 0 && errno == EACCES) {
    fd = open_by_name(name, O_WRONLY | O_NONBLOCK);
    readable = false;
    if (fd < 0) errno = EACCES;
  }
  return fd;
}

// Makes the reads of `fd`, opened without blocking, block as usual, in the
// waits that a stop ends; a regular file's never block, so they are left
// as they are. False, with errno set, when that fails.
bool reads_block(int fd, const struct stat& info) {
  return S_ISREG(info.st_mode) || ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) == 0;
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

std::optional<Failure> DataFile::open(std::string name) {
  close();
  name_ = std::move(name);
  bool readable = true;
  int fd = open_for_reading(name_, readable);
  struct stat info {};
  const bool known = fd >= 0 && ::fstat(fd, &info) == 0;
  if (known && (S_ISDIR(info.st_mode) || !reads_block(fd, info))) {
    const int error = S_ISDIR(info.st_mode) ? EISDIR : errno;
    ::close(fd);
    fd = -1;
    errno = error;
  }
  if (fd < 0) {
    return open_failure(name_, "data", errno);
  }
  start_reading(fd, readable, known ? &info : nullptr);
  return std::nullopt;
}

bool DataFile::open_if_regular(std::string name) {
  close();
  name_ = std::move(name);
  // Not blocking: opening a FIFO for reading would wait for a writer.
  const int fd = open_by_name(name_, O_RDONLY | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
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

void DataFile::read_text(std::string name, std::string text) {
  close();
  name_ = std::move(name);
  text_ = std::move(text);
  text_source_.set(text_);
  stream_.attach(text_source_, true, static_cast<long long>(text_.size()));
  regular_file_ = true;
  utf16_text_ = false;
  points_numbered_ = 0;
}

void DataFile::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace tovel
