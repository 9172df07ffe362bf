#pragma once

#include "fields/input_stream.h"

namespace tovel {

// The three values of a data line (a missing value is 0).
struct PlainLine {
  float x;
  float y;
  float z;
};

// Reads the next line of `in` straight from its buffer when the line has the
// common shape: it lies wholly in the buffer, its line end comes within its
// first 80 characters, and it holds at most three tokens, each a plain number
// (see scan_plain_number) of at most 14 characters. Such a line gets the
// values the general reader gives it. Returns false, taking nothing, for any
// other line, which is left to the general reader.
bool read_plain_line(InputStream& in, PlainLine& line);

}  // namespace tovel
