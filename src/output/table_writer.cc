#include "output/table_writer.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/descriptor.h"

namespace tovel {
namespace {

// An existing file that cannot be opened for writing for one of these
// reasons can still be opened for reading; its first write then fails.
bool may_be_read_only(int error) {
  return error == EACCES || error == EPERM || error == EROFS;
}

// open(2) with O_RDWR, falling back to write-only and then read-only access
// as the file allows. A directory is refused with EISDIR.
int open_for_update(const std::string& name, bool& read_only) {
  read_only = false;
  const int fd = open_by_name(name, O_RDWR | O_CREAT, 0666);
  if (fd >= 0 || !may_be_read_only(errno)) return fd;
  const int error = errno;
  const int write_only = open_by_name(name, O_WRONLY);
  if (write_only >= 0) return write_only;
  const int for_reading = open_by_name(name, O_RDONLY);
  read_only = for_reading >= 0;
  errno = error;
  return for_reading;
}

// A lock on the open file description of `fd` that no other run holds.
struct TableLock {
  bool held_by_another = false;
  int fd = -1;  // a duplicate descriptor that keeps the lock; -1 without one
};

// Locks the table open on `fd`. A file system without locks, or a lock
// that no descriptor can keep, leaves the table unlocked.
TableLock lock_table(int fd) {
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return {.held_by_another = errno == EWOULDBLOCK};
  return {.fd = ::fcntl(fd, F_DUPFD_CLOEXEC, 3)};
}

}  // namespace

bool TableWriter::OpenedFile::cut(long long length) {
  return ::ftruncate(sink_.fd(), static_cast<off_t>(length)) == 0;
}

long TableWriter::OpenedFile::read_at(char* data, std::size_t size, long long offset) {
  return ::pread(sink_.fd(), data, size, static_cast<off_t>(offset));
}

bool TableWriter::OpenedFile::rewind() {
  return ::lseek(sink_.fd(), 0, SEEK_SET) == 0;
}

bool TableWriter::CuttingSink::cut_once() {
  if (!cut && file->regular()) {
    if (!file->cut(0)) return false;
    cut = true;
  }
  return true;
}

long TableWriter::CuttingSink::write(const char* data, std::size_t size) {
  return cut_once() ? file->write(data, size) : -1;
}

std::optional<Failure> TableWriter::cut_now() {
  if (read_only_ || sink_.cut_once()) return std::nullopt;
  error_ = errno;
  return failure();
}

TableWriter::TableWriter(std::span<char> buffer) : writer_(buffer, kTableBlock) {
  writer_.attach(sink_);
}

TableWriter::~TableWriter() {
  if (file_ == &opened_ && opened_.fd() >= 0) ::close(opened_.fd());
  release_lock();
}

void TableWriter::release_lock() {
  if (lock_fd_ >= 0) ::close(lock_fd_);
  lock_fd_ = -1;
}

std::optional<Failure> TableWriter::open(std::string_view name) {
  name_ = name;
  const auto cannot_open = [&](int error, std::string_view reason = {}) {
    return open_failure(name_, "table", error, reason);
  };
  const int fd = open_for_update(name_, read_only_);
  if (fd < 0) return cannot_open(errno);
  struct stat info {};
  const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  if (regular) {
    const TableLock lock = lock_table(fd);
    if (lock.held_by_another) {
      ::close(fd);
      return cannot_open(EWOULDBLOCK, "another run is writing it");
    }
    lock_fd_ = lock.fd;
  }
  opened_.set(fd, regular);
  attach(opened_, name);
  return std::nullopt;
}

void TableWriter::attach(TableFile& file, std::string_view name) {
  name_ = name;
  file_ = &file;
  sink_.file = &file;
}

bool TableWriter::refuse() {
  error_ = read_only_ ? 0 : writer_.last_error();
  return false;
}

bool TableWriter::write(std::string_view text) {
  return !read_only_ && writer_.write(text) == 0 ? true : refuse();
}

bool TableWriter::write_field(float value) {
  char* field = read_only_ ? nullptr : writer_.reserve(field_.width());
  if (field == nullptr) return refuse();
  field_.write(value, field);
  writer_.commit(field_.width());
  return true;
}

bool TableWriter::write_cells(std::span<const float> values) {
  const NumberField field = field_;
  const std::size_t width = field.cell_width();
  while (!values.empty()) {
    // As many cells as the buffer takes.
    const std::size_t fit = std::min(values.size(), writer_.capacity() / width);
    char* cell = read_only_ ? nullptr : writer_.reserve(fit * width);
    if (cell == nullptr) return refuse();
    field.write_cells(values.first(fit), cell);
    writer_.commit(fit * width);
    values = values.subspan(fit);
  }
  return true;
}

std::optional<Failure> TableWriter::write_out() {
  if (const int error = writer_.write_out(); error != 0) {
    error_ = error;
    return failure();
  }
  return std::nullopt;
}

std::optional<Failure> TableWriter::take_back(std::string& bytes) {
  if (auto failed = write_out()) return failed;
  bytes.resize(static_cast<std::size_t>(writer_.written()));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const long n =
        file_->read_at(bytes.data() + done, bytes.size() - done, static_cast<long long>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      error_ = n == 0 ? EIO : errno;
      return failure();
    }
    done += static_cast<std::size_t>(n);
  }
  if (!file_->cut(0) || !file_->rewind()) {
    error_ = errno;
    return failure();
  }
  writer_.start_over();
  return std::nullopt;
}

std::optional<Failure> TableWriter::close() {
  if (auto failed = write_out()) return failed;
  if (file_ == &opened_) {
    const int fd = opened_.fd();
    opened_.set(-1, false);
    if (::close(fd) != 0) {
      error_ = errno;
      return failure();
    }
  }
  return std::nullopt;
}

Failure TableWriter::failure() const {
  return write_failure(name_, "cannot write the table file", error_,
                       error_ == 0 ? "Cannot write to file opened for READ" : "");
}

}  // namespace tovel
