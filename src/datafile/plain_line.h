#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fields/decimal.h"
#include "fields/input_stream.h"

namespace tovel {

// The characters of a data line that are read; the rest is skipped.
inline constexpr std::size_t kDataLineWidth = 80;

// A value of a data line that is read only when asked for: the collation
// pass needs x only for the header row and the peak, and z never. It keeps
// the token's text, checked already to be a number.
class DeferredReal {
 public:
  DeferredReal() = default;  // zero
  // A token longer than the text kept is read at once.
  explicit DeferredReal(std::string_view token);
  // The same, in place, for a token in a buffer that may be read 27 bytes
  // from its start whatever its length: one fixed copy.
  void assign_padded(const char* token, std::size_t length);

  float value() const;

 private:
  static float read(std::string_view token);

  static constexpr std::size_t kTextSize = 27;
  char text_[kTextSize];
  uint8_t length_ = 0;  // 0: the value is in value_
  float value_ = 0.0f;
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
