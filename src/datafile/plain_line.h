#pragma once

#include <cstring>

#include "fields/input_stream.h"

namespace tovel {

// A value of a data line that is converted only when asked for: the value
// itself, or a copy of the text of a plain number (at most 14 characters).
class DeferredReal {
 public:
  DeferredReal() = default;
  explicit DeferredReal(float value) : value_(value) {}
  // Copies `length` characters from `text`; 16 bytes there must be readable.
  DeferredReal(const char* text, int length) : length_(length) {
    std::memcpy(text_, text, sizeof text_);
  }

  float value() const;

 private:
  char text_[16];
  int length_ = 0;  // 0: the value is in value_
  float value_ = 0.0f;
};

// The values of a data line (a missing value is 0). Only y is always needed;
// x and z are converted on demand, x only for the peak and the header row.
struct DataLine {
  DeferredReal x;
  float y = 0.0f;
  DeferredReal z;
};

// Reads the next line of `in` straight from its buffer when the line has the
// common shape: it lies wholly in the buffer, its line end comes within its
// first 80 characters, and it holds at most three tokens, each a plain number
// (see scan_plain_number) of at most 14 characters. Such a line gets the
// values the general reader gives it. Returns false, taking nothing, for any
// other line, which is left to the general reader; `line` is then undefined.
bool read_plain_line(InputStream& in, DataLine& line);

}  // namespace tovel
