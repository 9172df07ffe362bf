#include "datafile/data_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
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
int open_for_reading(const char* path, bool& readable) {
  readable = true;
  int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0 && errno == EACCES) {
    fd = ::open(path, O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    readable = false;
    if (fd < 0) errno = EACCES;
  }
  if (fd >= 0 && ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
    const int error = errno;
    ::close(fd);
    errno = error;
    return -1;
  }
  return keep_clear_of_standard_streams(fd);
}

}  // namespace

void DataFile::keep_name(std::string_view name) {
  name_size_ = std::min(name.size(), kNameCapacity - 1);
  std::memcpy(name_, name.data(), name_size_);
  name_[name_size_] = '\0';
}

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
  keep_name(name);
  bool readable = true;
  int fd = names_a_path(name) ? open_for_reading(name_, readable) : (errno = ENOENT, -1);
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
  keep_name(name);
  if (!names_a_path(name)) return false;
  // Not blocking: opening a FIFO for reading would wait for a writer.
  const int fd = keep_clear_of_standard_streams(::open(name_, O_RDONLY | O_NONBLOCK | O_CLOEXEC));
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

namespace {

bool is_regular_file(const std::string& name) {
  struct stat info {};
  return ::stat(name.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

void prefetch_data_file(const std::string& name) {
  if (!is_regular_file(name)) return;
  const int fd = ::open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return;
  ::posix_fadvise(fd, 0, 0, POSIX_FADV_WILLNEED);
  ::close(fd);
}

void DataFile::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace tovel
