#include "datafile/data_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/descriptor.h"

namespace tovel {

bool DataFile::open(std::string_view name) {
  close();
  if (!names_a_path(name)) {
    errno = ENOENT;
    return false;
  }
  name_size_ = std::min(name.size(), kNameCapacity - 1);
  std::memcpy(name_, name.data(), name_size_);
  name_[name_size_] = '\0';
  bool readable = true;
  int fd = ::open(name_, O_RDONLY | O_CLOEXEC);
  if (fd < 0 && errno == EACCES) {
    fd = ::open(name_, O_WRONLY | O_CLOEXEC);
    readable = false;
    if (fd < 0) errno = EACCES;
  }
  fd = keep_clear_of_standard_streams(fd);
  if (fd < 0) return false;
  struct stat info {};
  const bool known = ::fstat(fd, &info) == 0;
  if (known && S_ISDIR(info.st_mode)) {
    ::close(fd);
    errno = EISDIR;
    return false;
  }
  fd_ = fd;
  stream_.attach(fd, readable, known && S_ISREG(info.st_mode) ? info.st_size : -1);
  stream_.skip_leading("\xEF\xBB\xBF");  // an encoding mark, not content
  return true;
}

void DataFile::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

}  // namespace tovel
