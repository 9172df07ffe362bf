#pragma once

#include <cstddef>

#include "base/line_taker.h"

namespace tovel {

// The characters of a data line that are read; the rest is skipped. A line
// is taken as one field of the stream's widest.
inline constexpr std::size_t kDataLineWidth = kMaxFieldWidth;

// The values of a line that x and y may be taken from: the first 20.
inline constexpr int kMostColumns = 20;

// Which of a data line's values are x and y, and how the values are told
// apart.
struct LineRules {
  int x_column = 1;  // from 1; 0: x is the point's number in its file, 1, 2, 3, ...
  int y_column = 2;  // from 1
  // A comma inside a value is its decimal mark, and semicolons separate
  // values as blanks and tabs do; a full stop is then no decimal mark.
  bool decimal_comma = false;

  // x, y and the third value are the line's first three values.
  bool first_columns() const { return x_column == 1 && y_column == 2; }
  // The rules every line was read by before there were others.
  bool usual() const { return first_columns() && !decimal_comma; }
};

}  // namespace tovel
