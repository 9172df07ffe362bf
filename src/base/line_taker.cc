#include "base/line_taker.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "base/byte_class.h"
#include "base/byte_word.h"
#include "base/fixed_text.h"

namespace tovel {

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

InputStream::Fill LineTaker::refill(bool error_ends) {
  hold(field_);
  const InputStream::Fill fill = in_.fill();
  // A stream that is not readable fails whatever the policy.
  if (fill == InputStream::Fill::failed && error_ends && in_.readable_) {
    return InputStream::Fill::end;
  }
  return fill;
}

LineTaker::Filled LineTaker::fill(std::size_t width, bool numeric) {
  field_.size = 0;
  field_.in_buffer = nullptr;
  const bool error_ends = in_.on_error_ == OnReadError::ends_input_while_filling;
  bool consumed_any = false;
  while (field_.size < width) {
    if (in_.exhausted()) {
      const InputStream::Fill refill_result = refill(error_ends);
      if (refill_result == InputStream::Fill::failed) return Filled::failed;
      if (refill_result == InputStream::Fill::end)
        return consumed_any ? Filled::stream_end : Filled::no_line;
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
  if (in_.exhausted() && refill(false) != InputStream::Fill::data) return -1;
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
  const InputStream::Fill refill_result = refill(error_ends);
  if (refill_result == InputStream::Fill::failed) return Filled::failed;
  if (refill_result == InputStream::Fill::data && *in_.next_ == '\n') ++in_.next_;
  return Filled::line_end;
}

TakeStatus LineTaker::skip_rest() {
  for (;;) {
    if (in_.exhausted()) {
      const InputStream::Fill refill_result = refill(false);
      if (refill_result == InputStream::Fill::failed) return TakeStatus::failed;
      // Only a last line that put nothing into the field (a leading comma)
      // and has no line end is no line at all.
      if (refill_result == InputStream::Fill::end) {
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

TakeStatus take_line(InputStream& in, std::size_t width, bool numeric, FieldText& field) {
  LineTaker taker(in, field);
  return taker.finish(taker.fill(width, numeric));
}

std::string_view take_stored_field(std::string_view stored, std::size_t width) {
  return trim_trailing_blanks(stored).substr(0, width);
}

}  // namespace tovel
