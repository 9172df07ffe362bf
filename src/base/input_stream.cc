#include "base/input_stream.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "base/byte_class.h"
#include "base/byte_word.h"
#include "base/fixed_text.h"

namespace tovel {

long DescriptorSource::read(char* buffer, std::size_t size) {
  return ::read(fd_, buffer, size);
}

void InputStream::attach(int fd, bool readable, long long size) {
  descriptor_.set(fd);
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

std::string_view InputStream::failure_text() const {
  if (!readable_) return "Cannot read from file opened for WRITE";
  return std::strerror(error_number_);
}

InputStream::Fill InputStream::fill() {
  if (!readable_) return Fill::not_readable;
  if (at_end_) return error_number_ != 0 ? Fill::error : Fill::end;
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
    if (n < 0 && errno == EINTR) continue;
    at_end_ = true;
    if (n == 0) return Fill::end;
    error_number_ = errno;
    return Fill::error;
  }
}

namespace {

// The first LF or CR in [p, limit), or limit; eight bytes at a time.
const char* find_line_end(const char* p, const char* limit) {
  while (limit - p >= 8) {
    const uint64_t word = load_word(p);
    const uint64_t marks = bytes_in_class<kLineEnd>(word);
    if (marks != 0) return p + bytes_before_mark(marks);
    p += 8;
  }
  while (p != limit && !in_class(*p, kLineEnd))
    ++p;
  return p;
}

const char* find_numeric_stop(const char* p, const char* limit) {
  while (p != limit && !in_class(*p, kLineEnd | kComma))
    ++p;
  return p;
}

// Moves characters seen in the buffer into the field's own storage, before
// the buffer is refilled.
void hold(FieldText& field) {
  if (field.in_buffer == nullptr) return;
  std::memcpy(field.chars, field.in_buffer, field.size);
  field.in_buffer = nullptr;
}

}  // namespace

TakeStatus take_field(InputStream& in, std::size_t width, bool numeric, FieldText& field) {
  field.size = 0;
  field.in_buffer = nullptr;
  bool consumed_any = false;
  bool rest_remains = true;  // the line's end has not been consumed yet
  while (field.size < width) {
    if (in.exhausted()) {
      hold(field);
      const InputStream::Fill fill = in.fill();
      if (fill == InputStream::Fill::not_readable) return TakeStatus::failed;
      if (fill == InputStream::Fill::error && in.on_error_ == OnReadError::fails) {
        return TakeStatus::failed;
      }
      if (fill != InputStream::Fill::data) {
        if (!consumed_any) return TakeStatus::end_of_input;
        rest_remains = false;
        break;
      }
    }
    // Take the ordinary bytes in one go, up to a stop, the field's width or
    // the end of what is buffered.
    const char* const start = in.next_;
    const std::size_t room =
        std::min(width - field.size, static_cast<std::size_t>(in.end_ - start));
    const char* const limit = start + room;
    const char* const stop =
        numeric ? find_numeric_stop(start, limit) : find_line_end(start, limit);
    const auto taken = static_cast<std::size_t>(stop - start);
    if (field.size == 0) {
      field.in_buffer = start;
    } else {
      std::memcpy(field.chars + field.size, start, taken);
    }
    field.size += taken;
    in.next_ = stop;
    consumed_any = consumed_any || taken != 0;
    if (stop == limit) continue;

    const char c = *in.next_++;
    consumed_any = true;
    rest_remains = false;
    if (c == '\r') {
      // The character after a CR alone is left for the next line.
      if (in.exhausted()) {
        hold(field);
        const InputStream::Fill fill = in.fill();
        if (fill == InputStream::Fill::error && in.on_error_ == OnReadError::fails) {
          return TakeStatus::failed;
        }
        if (fill != InputStream::Fill::data) break;
      }
      if (*in.next_ == '\n') ++in.next_;
    } else if (c == ',') {
      rest_remains = true;
    }
    break;
  }
  while (rest_remains) {
    if (in.exhausted()) {
      hold(field);
      const InputStream::Fill fill = in.fill();
      if (fill == InputStream::Fill::end) {
        // Only a last line that put nothing into the field (a leading comma)
        // and has no line end is no line at all.
        if (field.size == 0) return TakeStatus::end_of_input;
        break;
      }
      if (fill != InputStream::Fill::data) return TakeStatus::failed;
    }
    const auto* lf = static_cast<const char*>(
        std::memchr(in.next_, '\n', static_cast<std::size_t>(in.end_ - in.next_)));
    if (lf != nullptr) {
      in.next_ = lf + 1;
      break;
    }
    in.next_ = in.end_;
  }
  ++in.lines_taken_;
  return TakeStatus::line;
}

std::string_view take_stored_field(std::string_view stored, std::size_t width) {
  return trim_trailing_blanks(stored).substr(0, width);
}

}  // namespace tovel
