#pragma once

#include <cstddef>
#include <string_view>

#include "base/input_stream.h"

namespace tovel {

// The rules of a line of text: its width, its line ends, and how it is
// taken from a stream.

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

// Takes the next line of `in` into `field`: at most `width` characters
// (width <= kMaxFieldWidth), stopping at LF, CR LF or a CR alone (after which
// the one character examined is left for the next line), and, when `numeric`,
// at a comma. The rest of a longer line is skipped up to its own line end,
// by the same rule, however long it is.
TakeStatus take_line(InputStream& in, std::size_t width, bool numeric, FieldText& field);

// take_line in its two steps, for a reader that judges a line by its field
// before the rest of the line is read: a line already refused need not be
// read to its end, which may never come.
class LineTaker {
 public:
  LineTaker(InputStream& in, FieldText& field) : in_(in), field_(field) {}

  // How filling the field ended.
  enum class Filled { line_end, rest_remains, stream_end, no_line, failed };
  // Fills the field from the next line, as take_line does.
  Filled fill(std::size_t width, bool numeric);
  // After a fill that left the rest of the line: its next character, read
  // if need be, or -1 when the stream ends or fails there (finish then
  // says which). The field's characters stay valid.
  int peek();
  // Consumes what `filled` left of the line and counts it, giving what
  // take_line gives. The field's characters stay valid.
  TakeStatus finish(Filled filled);

 private:
  // Refills the exhausted stream once the field holds its characters. A
  // read error is the end, or a failure, as the stream's policy says;
  // `error_ends` overrides the policy.
  InputStream::Fill refill(bool error_ends);
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
