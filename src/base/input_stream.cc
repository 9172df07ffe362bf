#include "base/input_stream.h"

#include <poll.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "base/byte_class.h"
#include "base/byte_word.h"
#include "base/descriptor.h"
#include "base/fixed_text.h"
#include "base/report.h"
#include "base/signals.h"

namespace tovel {

namespace {

// Waits until `fd` has bytes to read, its end or an error, looking every
// 50 ms whether `source` is asked to stop: false, with errno EINTR, once it
// is.
bool wait_for_bytes_or_stop(int fd, const DescriptorSource& source) {
  if (fd < 0) return true;  // poll would pass it over: the read fails at once
  for (;;) {
    if (source.stop_asked()) {
      errno = EINTR;
      return false;
    }
    pollfd waiting{fd, POLLIN, 0};
    const int ready = ::poll(&waiting, 1, 50);
    if (ready > 0 || (ready < 0 && errno != EINTR)) return true;  // the read tells which
  }
}

}  // namespace

bool DescriptorSource::stop_asked() const {
  return caught_stop_signal() != 0 || (given_up_ != nullptr && given_up_->load());
}

long DescriptorSource::read(char* buffer, std::size_t size) {
  if (!regular_ && !wait_for_bytes_or_stop(fd_, *this)) return -1;
  if (probe_) {
    // One read that takes only what the page cache holds tells whether the
    // file comes from storage; it costs nothing when the bytes are there.
    probe_ = false;
    iovec room{buffer, size};
    const long n = ::preadv2(fd_, &room, 1, -1, RWF_NOWAIT);
    if (n >= 0) return n;
    from_storage_ = errno == EAGAIN;
  }
  return transfer_when_ready(fd_, POLLIN, [&] { return ::read(fd_, buffer, size); });
}

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
    // A stop signal ends a read that waits (a terminal, a pipe), as does a
    // reader giving up; any other interruption is only a pause.
    if (n < 0 && errno == EINTR && !descriptor_.stop_asked()) continue;
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

LineTaker::Refill LineTaker::refill(bool error_ends) {
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

LineTaker::Filled LineTaker::fill(std::size_t width, bool numeric) {
  field_.size = 0;
  field_.in_buffer = nullptr;
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

    if (*stop == ',') {
      in_.next_ = stop + 1;
      return Filled::rest_remains;
    }
    return end_line(stop, error_ends);
  }
  return Filled::rest_remains;
}

int LineTaker::peek() {
  if (in_.exhausted() && refill(false) != Refill::data) return -1;
  return static_cast<unsigned char>(*in_.next_);
}

LineTaker::Filled LineTaker::end_line(const char* end, bool error_ends) {
  if (const char* next = after_line_end(end, in_.end_)) {
    in_.next_ = next;
    return Filled::line_end;
  }
  // A CR at the end of what is buffered: the character after it, read now,
  // is taken with it when it is an LF and left for the next line otherwise.
  in_.next_ = in_.end_;
  const Refill refill_result = refill(error_ends);
  if (refill_result == Refill::failed) return Filled::failed;
  if (refill_result == Refill::data && *in_.next_ == '\n') ++in_.next_;
  return Filled::line_end;
}

TakeStatus LineTaker::skip_rest() {
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
    const char* const end = find_line_end(in_.next_, in_.end_);
    if (end != in_.end_) {
      return end_line(end, false) == Filled::failed ? TakeStatus::failed : TakeStatus::line;
    }
    in_.next_ = in_.end_;
  }
}

TakeStatus LineTaker::finish(Filled filled) {
  switch (filled) {
    case Filled::no_line:
      return TakeStatus::end_of_input;
    case Filled::failed:
      return TakeStatus::failed;
    case Filled::rest_remains:
      if (const TakeStatus status = skip_rest(); status != TakeStatus::line) return status;
      break;
    case Filled::line_end:
    case Filled::stream_end:
      break;
  }
  ++in_.lines_taken_;
  return TakeStatus::line;
}

TakeStatus take_field(InputStream& in, std::size_t width, bool numeric, FieldText& field) {
  LineTaker taker(in, field);
  return taker.finish(taker.fill(width, numeric));
}

std::string_view take_stored_field(std::string_view stored, std::size_t width) {
  return trim_trailing_blanks(stored).substr(0, width);
}

}  // namespace tovel
