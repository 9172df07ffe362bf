#include "output/table_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "fields/descriptor.h"
#include "fields/g14_4.h"

namespace tovel {
namespace {

// open(2) with O_RDWR, falling back to write-only and then read-only access
// as a file's permissions allow. A directory is refused with EISDIR.
int open_for_update(const char* path, bool& read_only) {
  read_only = false;
  const int fd = ::open(path, O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd >= 0 || errno != EACCES) return fd;
  const int write_only = ::open(path, O_WRONLY | O_CLOEXEC);
  if (write_only >= 0) return write_only;
  const int for_reading = ::open(path, O_RDONLY | O_CLOEXEC);
  read_only = for_reading >= 0;
  errno = EACCES;
  return for_reading;
}

}  // namespace

TableWriter::TableWriter() {
  hold_pending_output(*this);
}

TableWriter::~TableWriter() {
  release_pending_output(*this);
  if (fd_ >= 0) ::close(fd_);
}

void TableWriter::open(std::string_view name) {
  name_size_ = std::min(name.size(), kNameCapacity - 1);
  std::memcpy(name_, name.data(), name_size_);
  name_[name_size_] = '\0';
  fd_ = keep_clear_of_standard_streams(open_for_update(name_, read_only_));
  if (fd_ < 0) {
    const std::string message =
        "Cannot open file '" + std::string(name) + "': " + std::strerror(errno);
    report_runtime_error({name, 0, "cannot open the table file"}, message);
  }
}

void TableWriter::make_room(std::size_t needed) {
  if (read_only_) {
    report_runtime_error(failure_site(), "Cannot write to file opened for READ");
  }
  if (kCapacity - size_ < needed && !write_out()) {
    report_runtime_error(failure_site(), std::strerror(errno));
  }
}

void TableWriter::write(std::string_view text) {
  while (!text.empty()) {
    make_room(1);
    const std::size_t n = std::min(text.size(), kCapacity - size_);
    std::memcpy(buffer_ + size_, text.data(), n);
    size_ += n;
    text.remove_prefix(n);
  }
}

void TableWriter::write_value(float value) {
  make_room(kG14Width);
  format_g14_4(value, buffer_ + size_);
  size_ += kG14Width;
}

void TableWriter::write_cells(std::span<const float> values) {
  constexpr std::size_t kCell = kG14Width + 1;
  while (!values.empty()) {
    make_room(kCell);
    // Formatted through a local pointer: stores into the buffer cannot then
    // be taken to change the writer's own fields.
    const std::size_t fit = std::min(values.size(), (kCapacity - size_) / kCell);
    char* cell = buffer_ + size_;
    for (const float value : values.first(fit)) {
      format_g14_4(value, cell);
      cell[kG14Width] = '\t';
      cell += kCell;
    }
    size_ += fit * kCell;
    values = values.subspan(fit);
  }
}

bool TableWriter::write_out() {
  std::size_t done = 0;
  while (done < size_) {
    const ssize_t n = ::write(fd_, buffer_ + done, size_ - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      std::memmove(buffer_, buffer_ + done, size_ - done);
      size_ -= done;
      return false;
    }
    done += static_cast<std::size_t>(n);
    written_ += n;
    if (!cut_) {
      if (::ftruncate(fd_, static_cast<off_t>(written_)) != 0) return false;
      cut_ = true;
    }
  }
  size_ = 0;
  return true;
}

void TableWriter::close() {
  if (!write_out()) report_runtime_error(failure_site(), std::strerror(errno));
  release_pending_output(*this);
  if (::close(fd_) != 0) report_runtime_error(failure_site(), std::strerror(errno));
  fd_ = -1;
}

FailureSite TableWriter::failure_site() const {
  return {{name_, name_size_}, 0, "cannot write the table file"};
}

}  // namespace tovel
