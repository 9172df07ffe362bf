#include "base/input_stream.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/report.h"

namespace tovel {

void InputStream::attach(int fd, bool readable, long long size) {
  descriptor_.set(fd, size >= 0);
  attach(descriptor_, readable, size);
}

void InputStream::attach(ByteSource& source, bool readable, long long size) {
  source_ = &source;
  readable_ = readable;
  next_ = end_ = buffer_.data();
  std::memset(buffer_.data(), 0, kReadPadding);
  at_end_ = false;
  size_ = size;
  bytes_read_ = 0;
  error_number_ = 0;
  lines_taken_ = 0;
}

void InputStream::skip_leading(std::string_view mark) {
  if (begins_with(mark)) next_ += mark.size();
}

bool InputStream::begins_with(std::string_view mark) {
  fill_if_exhausted();
  return std::string_view(next_, static_cast<std::size_t>(end_ - next_)).starts_with(mark);
}

void InputStream::give_back_unread() {
  if (source_ != &descriptor_ || next_ >= end_) return;
  // Fails harmlessly (ESPIPE) on a terminal or a pipe, which cannot go back.
  ::lseek(descriptor_.fd(), -static_cast<off_t>(end_ - next_), SEEK_CUR);
  next_ = end_;
}

std::string_view InputStream::failure_text() const {
  if (!readable_) return "Cannot read from file opened for WRITE";
  return error_text(error_number_);
}

InputStream::Fill InputStream::fill() {
  if (!readable_) return Fill::failed;
  if (at_end_) return error_number_ != 0 ? Fill::failed : Fill::end;
  if (bytes_read_ > 0 && bytes_read_ == size_) {
    // A regular file read to its known size: a further read could only find
    // its end, unless the file grew since, which reading on would not
    // settle either.
    at_end_ = true;
    return Fill::end;
  }
  for (;;) {
    const long n = source_->read(buffer_.data(), buffer_.size() - kReadPadding);
    if (n > 0) {
      bytes_read_ += n;
      next_ = buffer_.data();
      end_ = next_ + n;
      std::memset(buffer_.data() + n, 0, kReadPadding);
      return Fill::data;
    }
    // A stop signal ends a read that waits (a terminal, a pipe), as does a
    // reader giving up; any other interruption is only a pause.
    if (n < 0 && errno == EINTR && !descriptor_.stop_asked()) continue;
    at_end_ = true;
    if (n == 0) return Fill::end;
    error_number_ = errno;
    return Fill::failed;
  }
}

}  // namespace tovel
