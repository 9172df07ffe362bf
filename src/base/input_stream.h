#pragma once

#include <atomic>
#include <cstddef>
#include <span>
#include <string_view>

namespace tovel {

inline constexpr std::size_t kMaxFieldWidth = 80;

// The characters of one line that went into a field: 0 to width characters.
// They are held here, or, when the line lay wholly in the stream's buffer,
// seen there; either way they stay valid until the stream is read again.
struct FieldText {
  char chars[kMaxFieldWidth];
  std::size_t size = 0;
  const char* in_buffer = nullptr;  // the characters, when not in `chars`
  std::string_view view() const { return {in_buffer != nullptr ? in_buffer : chars, size}; }
};

// The line-end rule of every text read: a line ends at LF, at CR LF, or at
// a CR alone, after which the next line begins. Given a line end at `end`
// (LF or CR) among bytes up to `limit`, where the next line starts; nullptr
// when `end` is a CR just before `limit`, so that whether an LF follows is
// not known yet.
inline const char* after_line_end(const char* end, const char* limit) {
  const char* next = end + 1;
  if (*end == '\r') {
    if (next == limit) return nullptr;
    if (*next == '\n') ++next;
  }
  return next;
}

enum class TakeStatus {
  line,          // a line was taken; `field` holds its first characters
  end_of_input,  // no line was left
  failed,        // the stream could not be read; see failure_text()
};

// Where a stream's bytes come from: read(2) on a descriptor, or a fake that
// injects faults in tests.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to `size` bytes into `buffer`: the count read, 0 at the end,
  // or -1 with errno set.
  virtual long read(char* buffer, std::size_t size) = 0;
};

class DescriptorSource : public ByteSource {
 public:
  // Reads `fd`; with `regular`, the first read also notes whether the bytes
  // had to come from storage rather than the page cache.
  void set(int fd, bool regular = false) {
    fd_ = fd;
    regular_ = regular;
    probe_ = regular;
    from_storage_ = false;
  }
  int fd() const { return fd_; }
  // read(2), waiting when the descriptor was made non-blocking by another
  // program that shares it. A descriptor that may wait without end (a pipe,
  // a FIFO, a terminal) is waited on in short steps, and the read fails with
  // EINTR once a stop signal is caught, even one that came just before the
  // wait began, or once the reader gives up (see give_up_waits_when).
  long read(char* buffer, std::size_t size) override;
  void give_up_waits_when(const std::atomic<bool>& given_up) { given_up_ = &given_up; }
  // Whether a wait is to end: a stop signal was caught, or the reader gave up.
  bool stop_asked() const;
  // Whether the first read found its bytes outside the page cache.
  bool read_from_storage() const { return from_storage_; }

 private:
  int fd_ = -1;
  bool regular_ = false;
  bool probe_ = false;
  bool from_storage_ = false;
  const std::atomic<bool>* given_up_ = nullptr;
};

// What a read error means for the line being taken. A data file must not
// lose lines or characters to a failing disk, so there it fails; at the
// console it ends the input while a field is filled, as the end of the
// terminal's input does.
enum class OnReadError { fails, ends_input_while_filling };

// A byte stream read through a caller-supplied buffer in large reads. The
// buffer is reused when the stream is attached to another file.
class InputStream {
 public:
  enum class Fill { data, end, error, not_readable };

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
  // from the buffer; take_field handles every line that does not lie wholly
  // in it. At least kReadPadding NUL bytes follow them in the buffer, so the
  // caller may look at a whole line's length (80 characters and its line
  // end) and read words past the end; the buffer must be larger.
  static constexpr std::size_t kReadPadding = 128;
  const char* buffered_begin() const { return next_; }
  const char* buffered_end() const { return end_; }
  // Refills the buffer when every byte read has been taken; what a failed
  // read leaves is reported by the next take_field.
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

// Takes the next line of `in` into `field`: at most `width` characters
// (width <= kMaxFieldWidth), stopping at LF, CR LF or a CR alone (after which
// the one character examined is left for the next line), and, when `numeric`,
// at a comma. The rest of a longer line is skipped up to its own line end,
// by the same rule, however long it is.
TakeStatus take_field(InputStream& in, std::size_t width, bool numeric, FieldText& field);

// take_field in its two steps, for a reader that judges a line by its field
// before the rest of the line is read: a line already refused need not be
// read to its end, which may never come.
class LineTaker {
 public:
  LineTaker(InputStream& in, FieldText& field) : in_(in), field_(field) {}

  // How filling the field ended.
  enum class Filled { line_end, rest_remains, stream_end, no_line, failed };
  // Fills the field from the next line, as take_field does.
  Filled fill(std::size_t width, bool numeric);
  // After a fill that left the rest of the line: its next character, read
  // if need be, or -1 when the stream ends or fails there (finish then
  // says which). The field's characters stay valid.
  int peek();
  // Consumes what `filled` left of the line and counts it, giving what
  // take_field gives. The field's characters stay valid.
  TakeStatus finish(Filled filled);

 private:
  enum class Refill { data, end, failed };
  // Refills the exhausted stream once the field holds its characters. A
  // read error is the end, or a failure, as the stream's policy says;
  // `error_ends` overrides the policy.
  Refill refill(bool error_ends);
  // Takes the line end at `end` by after_line_end's rule, reading the byte
  // after a CR at the end of the buffer.
  Filled end_line(const char* end, bool error_ends);
  // Skips the rest of the line, up to and including its line end.
  TakeStatus skip_rest();

  InputStream& in_;
  FieldText& field_;
};

// The field text of a stored text: its first `width` characters once its
// trailing blanks are removed.
std::string_view take_stored_field(std::string_view stored, std::size_t width);

}  // namespace tovel
