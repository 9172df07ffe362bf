#pragma once

#include <atomic>
#include <cstddef>
#include <span>
#include <string_view>

#include "base/byte_source.h"

namespace tovel {

// What a read error means for the line being taken. A data file must not
// lose lines or characters to a failing disk, so there it fails; at the
// console it ends the input while a field is filled, as the end of the
// terminal's input does.
enum class OnReadError { fails, ends_input_while_filling };

// A byte stream read through a caller-supplied buffer in large reads. The
// buffer is reused when the stream is attached to another file.
class InputStream {
 public:
  // How a refill of the buffer went: bytes read, the end, or a failure (a
  // read error, or a stream that is not readable), which failure_text()
  // tells.
  enum class Fill { data, end, failed };

  explicit InputStream(std::span<char> buffer, OnReadError on_error = OnReadError::fails)
      : buffer_(buffer), on_error_(on_error) {}

  // Starts reading `fd` from its current position. A stream that is not
  // `readable` (a file opened for writing only) fails on its first read.
  // `size`, when known (the bytes a regular file holds from that position,
  // -1 otherwise), spares the read that would only find the end: once that
  // many bytes have been read, the stream is at its end.
  void attach(int fd, bool readable = true, long long size = -1);
  // The same for any source of bytes, which must outlive the reading.
  void attach(ByteSource& source, bool readable = true, long long size = -1);

  // Makes a read that waits (a FIFO, a pipe) fail with EINTR once
  // `given_up` is set, from any thread, as a stop signal does: for a
  // reader that no longer wants what the wait would bring. It holds from
  // file to file.
  void give_up_waits_when(const std::atomic<bool>& given_up) {
    descriptor_.give_up_waits_when(given_up);
  }

  // Whether the first read of a regular file found its bytes outside the
  // page cache: the series is being read from storage.
  bool read_from_storage() const { return descriptor_.read_from_storage(); }

  // The system's text for the failure of the last read, or the text for a
  // stream that is not readable.
  std::string_view failure_text() const;

  // At the very start of the stream: passes over `mark` (a byte-order mark)
  // when the stream begins with it.
  void skip_leading(std::string_view mark);
  // Whether the bytes not yet taken begin with `mark`, as far as the first
  // read shows them: for a mark at the start of the stream.
  bool begins_with(std::string_view mark);

  // Moves a seekable descriptor back over the bytes read and not taken, so
  // that whoever reads it next (the next command of a script sharing a file
  // of answers) starts at the line after the last one taken.
  void give_back_unread();

  // Lines taken so far.
  long lines_taken() const { return lines_taken_; }

  // The bytes read and not yet taken, for a caller that takes a line straight
  // from the buffer; take_line handles every line that does not lie wholly
  // in it. At least kReadPadding NUL bytes follow them in the buffer, so the
  // caller may look at a whole line's length (80 characters and its line
  // end) and read words past the end; the buffer must be larger.
  static constexpr std::size_t kReadPadding = 128;
  const char* buffered_begin() const { return next_; }
  const char* buffered_end() const { return end_; }
  // Refills the buffer when every byte read has been taken; what a failed
  // read leaves is reported by the next take_line.
  void fill_if_exhausted() {
    if (exhausted()) fill();
  }
  // Takes the buffered line whose end (its line end included) is `next`.
  void take_buffered_line(const char* next) {
    next_ = next;
    ++lines_taken_;
  }

 private:
  friend class LineTaker;

  // Refills the buffer. The end of the stream and a read error are both
  // remembered, so no read is tried again after either.
  Fill fill();
  bool exhausted() const { return next_ == end_; }

  std::span<char> buffer_;
  OnReadError on_error_;
  const char* next_ = nullptr;
  const char* end_ = nullptr;
  DescriptorSource descriptor_;
  ByteSource* source_ = &descriptor_;
  bool readable_ = true;
  bool at_end_ = false;
  long long size_ = -1;
  long long bytes_read_ = 0;
  int error_number_ = 0;
  long lines_taken_ = 0;
};

}  // namespace tovel
