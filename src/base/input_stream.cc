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

// take_field's two steps on one stream: filling the field, then skipping
// the rest of the line.
class FieldTaker {
 public:
  FieldTaker(InputStream& in, FieldText& field) : in_(in), field_(field) {}

  // How filling the field ended.
  enum class Filled { line_end, rest_remains, stream_end, no_line, failed };
  Filled fill(std::size_t width, bool numeric);
  // Skips the rest of the line, up to and including its LF.
  TakeStatus skip_rest();

 private:
  enum class Refill { data, end, failed };
  // Refills the exhausted stream once the field holds its characters. A
  // read error is the end, or a failure, as the stream's policy says;
  // `error_ends` overrides the policy.
  Refill refill(bool error_ends);

  InputStream& in_;
  FieldText& field_;
};

FieldTaker::Refill FieldTaker::refill(bool error_ends) {
  hold(field_);
  switch (in_.fill()) {
    case InputStream::Fill::data:
      return Refill::data;
    case InputStream::Fill::end:
      return Refill::end;
    case InputStream::Fill::error:
      return error_ends ? Refill::end : Refill::failed;
    case InputStream::Fill::not_readable:
      break;
  }
  return Refill::failed;
}

FieldTaker::Filled FieldTaker::fill(std::size_t width, bool numeric) {
  const bool error_ends = in_.on_error_ == OnReadError::ends_input_while_filling;
  bool consumed_any = false;
  while (field_.size < width) {
    if (in_.exhausted()) {
      const Refill refill_result = refill(error_ends);
      if (refill_result == Refill::failed) return Filled::failed;
      if (refill_result == Refill::end) return consumed_any ? Filled::stream_end : Filled::no_line;
    }
    // Take the ordinary bytes in one go, up to a stop, the field's width or
    // the end of what is buffered.
    const char* const start = in_.next_;
    const std::size_t room =
        std::min(width - field_.size, static_cast<std::size_t>(in_.end_ - start));
    const char* const limit = start + room;
    const char* const stop =
        numeric ? find_numeric_stop(start, limit) : find_line_end(start, limit);
    const auto taken = static_cast<std::size_t>(stop - start);
    if (field_.size == 0) {
      field_.in_buffer = start;
    } else {
      std::memcpy(field_.chars + field_.size, start, taken);
    }
    field_.size += taken;
    in_.next_ = stop;
    consumed_any = consumed_any || taken != 0;
    if (stop == limit) continue;

    const char c = *in_.next_++;
    if (c == ',') return Filled::rest_remains;
    if (c == '\r') {
      // The character after a CR alone is left for the next line.
      if (in_.exhausted()) {
        const Refill refill_result = refill(error_ends);
        if (refill_result == Refill::failed) return Filled::failed;
        if (refill_result == Refill::end) return Filled::line_end;
      }
      if (*in_.next_ == '\n') ++in_.next_;
    }
    return Filled::line_end;
  }
  return Filled::rest_remains;
}

TakeStatus FieldTaker::skip_rest() {
  for (;;) {
    if (in_.exhausted()) {
      const Refill refill_result = refill(false);
      if (refill_result == Refill::failed) return TakeStatus::failed;
      // Only a last line that put nothing into the field (a leading comma)
      // and has no line end is no line at all.
      if (refill_result == Refill::end) {
        return field_.size == 0 ? TakeStatus::end_of_input : TakeStatus::line;
      }
    }
    const auto* lf = static_cast<const char*>(
        std::memchr(in_.next_, '\n', static_cast<std::size_t>(in_.end_ - in_.next_)));
    if (lf != nullptr) {
      in_.next_ = lf + 1;
      return TakeStatus::line;
    }
    in_.next_ = in_.end_;
  }
}

TakeStatus take_field(InputStream& in, std::size_t width, bool numeric, FieldText& field) {
  field.size = 0;
  field.in_buffer = nullptr;
  FieldTaker taker(in, field);
  switch (taker.fill(width, numeric)) {
    case FieldTaker::Filled::no_line:
      return TakeStatus::end_of_input;
    case FieldTaker::Filled::failed:
      return TakeStatus::failed;
    case FieldTaker::Filled::rest_remains:
      if (const TakeStatus status = taker.skip_rest(); status != TakeStatus::line) return status;
      break;
    case FieldTaker::Filled::line_end:
    case FieldTaker::Filled::stream_end:
      break;
  }
  ++in.lines_taken_;
  return TakeStatus::line;
}

std::string_view take_stored_field(std::string_view stored, std::size_t width) {
  return trim_trailing_blanks(stored).substr(0, width);
}

}  // namespace tovel
