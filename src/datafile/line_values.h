#pragma once

#include "datafile/data_line.h"
#include "fields/binary32_from_decimal.h"
#include "fields/decimal.h"

namespace tovel {

// Turns a line's tokens into its values, for both line readers: the first
// kTokensRead tokens are read and later ones ignored; x and z are checked
// and kept as text, y is converted; a missing value is 0, and a line without
// tokens is the point (0, 0). `Tokens` gives them in order (more(), take())
// and says how a token is read (read()) and kept (keep()). Returns the index
// of the first token that is not a number, or -1 when all are.
template <typename Tokens>
[[gnu::always_inline]] inline int fill_data_line(Tokens& tokens, DataLine& line) {
  static_assert(kTokensRead == 3, "x, y and a third value");
  line.x = DeferredReal();
  line.y = 0.0f;
  line.z = DeferredReal();
  line.empty = !tokens.more();
  if (!tokens.more()) return -1;
  if (!tokens.keep(tokens.take(), line.x)) return 0;
  if (!tokens.more()) return -1;
  Decimal y;
  if (!tokens.read(tokens.take(), y)) return 1;
  line.y = binary32_from_decimal(y);
  if (!tokens.more()) return -1;
  if (!tokens.keep(tokens.take(), line.z)) return 2;
  return -1;
}

}  // namespace tovel
