#pragma once

#include "fields/decimal.h"
#include "fields/input_stream.h"

namespace tovel {

// A value of a data line that is converted only when asked for: the
// collation pass needs x only for the header row and the peak, and z never.
class DeferredReal {
 public:
  DeferredReal() = default;  // zero
  // A decimal whose digits beyond the 19th matter is converted at once,
  // while the text they stand in can still be read.
  explicit DeferredReal(const Decimal& decimal);

  float value() const;

 private:
  Decimal decimal_{};
  float value_ = 0.0f;
  bool converted_ = true;
};

// The values of a data line (a missing value is 0).
struct DataLine {
  DeferredReal x;
  float y = 0.0f;
  DeferredReal z;
};

// Reads the next line of `in` straight from its buffer when it lies wholly
// there, its line end comes within its first 80 characters, and its first
// three tokens are numbers. Such a line gets the values the general reader
// (take_field, split_data_line, scan_real_field) gives it. Returns false,
// taking nothing, for any other line, which is left to the general reader;
// `line` is then undefined.
bool read_plain_line(InputStream& in, DataLine& line);

}  // namespace tovel
