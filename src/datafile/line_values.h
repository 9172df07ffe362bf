#pragma once

#include "datafile/data_line.h"
#include "fields/binary32_from_decimal.h"
#include "fields/decimal.h"

namespace tovel {

// Turns a line's tokens into its values, for both line readers: the first
// kTokensRead tokens are read and later ones ignored; x and z are checked
// and kept as text, y is converted; a missing value is 0, and a line without
// tokens is the point (0, 0); a y beyond single precision is noted with its
// token; the values on the line are counted up to kMostValuesCounted, and
// a lone x lacks y. `Tokens` gives them in order (more(), take()) and says
// how a token is read (read()), kept (keep()) and shown (text()). Returns
// the index of the first token that is not a number, or -1 when all are.
template <typename Tokens>
[[gnu::always_inline]] inline int fill_data_line(Tokens& tokens, DataLine& line) {
  static_assert(kTokensRead == 3, "x, y and a third value");
  line.x = DeferredReal();
  line.y = 0.0f;
  line.z = DeferredReal();
  line.y_out_of_range.kind = OutOfRange::no;
  line.values = 0;
  line.missing = 0;
  line.empty = !tokens.more();
  if (!tokens.more()) return -1;
  line.values = 1;
  if (!tokens.keep(tokens.take(), line.x)) return 0;
  if (!tokens.more()) {
    line.missing = 1;  // y
    return -1;
  }
  line.values = 2;
  Decimal y;
  const auto y_token = tokens.take();
  if (!tokens.read(y_token, y)) return 1;
  const Binary32 y_read = binary32_and_range(y);
  line.y = y_read.value;
  if (y_read.out_of_range != OutOfRange::no) [[unlikely]] {
    line.y_out_of_range.keep(y_read.out_of_range, Tokens::text(y_token));
  }
  if (!tokens.more()) return -1;
  line.values = 3;
  if (!tokens.keep(tokens.take(), line.z)) return 2;
  if (tokens.more()) line.values = kMostValuesCounted;
  return -1;
}

}  // namespace tovel
