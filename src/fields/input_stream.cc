#include "fields/input_stream.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "fields/fixed_text.h"

namespace tovel {

void InputStream::attach(int fd, bool readable) {
  fd_ = fd;
  readable_ = readable;
  next_ = end_ = buffer_.data();
  at_end_ = false;
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
  for (;;) {
    const ssize_t n = ::read(fd_, buffer_.data(), buffer_.size());
    if (n > 0) {
      next_ = buffer_.data();
      end_ = next_ + n;
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

// The bytes that stop a field: line ends, and the comma in a numeric field.
struct FieldStops {
  bool stops[2][256] = {};
  constexpr FieldStops() {
    for (auto& table : stops) {
      table[static_cast<unsigned char>('\n')] = true;
      table[static_cast<unsigned char>('\r')] = true;
    }
    stops[1][static_cast<unsigned char>(',')] = true;
  }
};
constexpr FieldStops kFieldStops;

}  // namespace

TakeStatus take_field(InputStream& in, std::size_t width, bool numeric, FieldText& field) {
  const bool* const stops = kFieldStops.stops[numeric ? 1 : 0];
  field.size = 0;
  bool consumed_any = false;
  bool rest_remains = true;  // the line's end has not been consumed yet
  while (field.size < width) {
    if (in.exhausted()) {
      const InputStream::Fill fill = in.fill();
      if (fill == InputStream::Fill::not_readable) return TakeStatus::failed;
      if (fill != InputStream::Fill::data) {  // a read error counts as the end here
        if (!consumed_any) return TakeStatus::end_of_input;
        rest_remains = false;
        break;
      }
    }
    // Copy the ordinary bytes in one go, up to a stop, the field's width or
    // the end of what is buffered.
    const char* const start = in.next_;
    const std::size_t room = std::min(width - field.size, static_cast<std::size_t>(in.end_ - start));
    const char* const limit = start + room;
    const char* stop = start;
    while (stop != limit && !stops[static_cast<unsigned char>(*stop)]) ++stop;
    const auto copied = static_cast<std::size_t>(stop - start);
    std::memcpy(field.chars + field.size, start, copied);
    field.size += copied;
    in.next_ = stop;
    consumed_any = consumed_any || copied != 0;
    if (stop == limit) continue;

    const char c = *in.next_++;
    consumed_any = true;
    rest_remains = false;
    if (c == '\r') {
      // The character after a CR alone is left for the next line.
      if (in.exhausted() && in.fill() != InputStream::Fill::data) break;
      if (*in.next_ == '\n') ++in.next_;
    } else if (c == ',') {
      rest_remains = true;
    }
    break;
  }
  while (rest_remains) {
    if (in.exhausted()) {
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
